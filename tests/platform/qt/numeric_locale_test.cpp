// A German user's locale must not reach the numbers the program writes and reads.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/c_locale.h"
#include "tests/support/locale_guard.h"

namespace {

std::string Printf(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

TEST(NumericLocaleTest, TheProgramsNumbersStayCUnderAGermanLocale) {
  // What the application object does at start-up for a German user.
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ASSERT_TRUE(german.ok());
  ASSERT_EQ(Printf(1.5), "1,5") << "the German locale did not take effect";

  // The program's own formatting and parsing ignore it...
  char text[32];
  platform::FormatC(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1.5");
  EXPECT_EQ(platform::StringPrintfC("%f", 1234.5), "1234.500000");
  char* end = nullptr;
  EXPECT_DOUBLE_EQ(platform::ParseDoubleC("2.25,", &end), 2.25);
  EXPECT_EQ(*end, ',');
  {
    platform::ScopedCLocale c;
    double scanned = 0;
    ASSERT_EQ(std::sscanf("3.75", "%lf", &scanned), 1);
    EXPECT_DOUBLE_EQ(scanned, 3.75);
    EXPECT_EQ(Printf(0.5), "0.5");
  }
  EXPECT_EQ(Printf(0.5), "0,5");  // the scope restored the thread's locale

  // ...and after start-up the whole process writes numbers the C way.
  platform::UseCNumericLocale();
  EXPECT_EQ(Printf(1.5), "1.5");
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

}  // namespace
