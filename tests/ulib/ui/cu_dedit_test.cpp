#include "ulib/ui/cu_dedit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cfloat>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "tests/support/hang_guard.h"
#include "tests/support/locale_guard.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/page_commands.h"

namespace {

// What a page heard from its controls, in order.
struct Heard {
  char kind;  // 'C' OnCommand(code, id), 'V' OnVScroll(code, position, id)
  int code;
  int position;  // OnVScroll only
  int id;
  bool operator==(const Heard&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Heard& h) {
  return out << h.kind << "(" << h.code << ", " << h.position << ", " << h.id << ")";
}

Heard Command(int code, int id) { return Heard{'C', code, 0, id}; }
Heard Scroll(int position, int id) { return Heard{'V', SB_THUMBPOSITION, position, id}; }

class RecordingPage : public QWidget, public CommandTarget {
 public:
  void OnCommand(int notifyCode, int controlId) override {
    heard.push_back(Command(notifyCode, controlId));
    if (onCommand) onCommand(notifyCode, controlId);
  }
  void OnVScroll(int code, int position, int spinId) override {
    heard.push_back(Heard{'V', code, position, spinId});
    if (onVScroll) onVScroll(code, position, spinId);
  }
  std::vector<Heard> Take() {
    std::vector<Heard> taken;
    taken.swap(heard);
    return taken;
  }

  std::vector<Heard> heard;
  std::function<void(int, int)> onCommand;
  std::function<void(int, int, int)> onVScroll;
};

// A field of the given kind with a label, at a place that fits the test page.
NumFieldDescriptor Field(std::int32_t type, double step, void* value, std::int32_t min = 0,
                         std::int32_t max = 0, std::int32_t limitMode = LimitNone,
                         std::int32_t carryIndex = -1) {
  NumFieldDescriptor d{};
  d.type = type;
  d.editWidth = 40;
  d.x = 4;
  d.y = 4;
  std::strcpy(d.label, "v");
  d.carryIndex = carryIndex;
  d.index = 0;
  d.value = value;
  d.min = min;
  d.max = max;
  d.step = step;
  d.limitMode = limitMode;
  d.labelWidth = 20;
  d.checkFlag = nullptr;
  d.controlId = 0;
  return d;
}

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

// A left click at a point of a control, as its window delivers it: to the child under the point,
// one of the spin's arrows.
void ClickAt(QWidget* control, QPoint at) {
  QWidget* window = control->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    control->mapTo(window, at));
}

class CUDEditTest : public ::testing::Test {
 protected:
  CUDEditTest() : savedX_(gridScaleX), savedY_(gridScaleY) {
    page.resize(640, 240);
    page.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&page, nv4test::kHangGuardMs));
  }
  ~CUDEditTest() override {
    gridScaleX = savedX_;
    gridScaleY = savedY_;
  }

  RecordingPage page;

 private:
  double savedX_;
  double savedY_;
};

// --- What a field shows -----------------------------------------------------------------------

struct ShowCase {
  const char* name;
  std::int32_t type;
  double step;
  double value;  // stored as the field's own type
  const char* text;
};

TEST_F(CUDEditTest, ShowsEachTypeByItsFormat) {
  const ShowCase kCases[] = {
      {"int", kFieldInt, 1, -42, "-42"},
      {"int ignores a fractional step", kFieldInt, 0.001, 7, "7"},
      {"int largest", kFieldInt, 1, 2147483647.0, "2147483647"},
      {"int smallest", kFieldInt, 1, -2147483648.0, "-2147483648"},
      {"whole rounds half to even", kFieldFloatWhole, 0.001, 2.5, "2"},
      {"whole", kFieldFloatWhole, 0.1, 1234.6, "1235"},
      {"step 1", kFieldFloat, 1, 1.6, "2"},
      {"step 2.5", kFieldFloat, 2.5, 12.25, "12"},
      {"step just below 1", kFieldFloat, 0.99, 1.26, "1.3"},
      {"step 0.5 (zoom)", kFieldFloat, 0.5, 5, "5.0"},
      {"step 0.1", kFieldFloat, 0.1, 0.25, "0.2"},
      {"step just below 0.1", kFieldFloat, 0.0999, 1.256, "1.26"},
      {"step 0.01", kFieldFloat, 0.01, 3.14159, "3.14"},
      {"step just below 0.01", kFieldFloat, 0.0099, 3.14159, "3.142"},
      {"step 0.001", kFieldFloat, 0.001, 1.23456, "1.235"},
      {"step 0.0001 still three decimals", kFieldFloat, 0.0001, 1.23456, "1.235"},
      {"step below 0.0001", kFieldFloat, 0.00009, 1.23456, "1.23456"},
      {"step 0, 25", kFieldFloat, 0, 25, "25"},
      {"step 0, above 2", kFieldFloat, 0, 2.6, "3"},
      {"step 0, exactly 2", kFieldFloat, 0, 2, "2.0"},
      {"step 0, 1.5", kFieldFloat, 0, 1.5, "1.5"},
      {"step 0, 0.2 as a float is above 0.2", kFieldFloat, 0, 0.2, "0.2"},
      {"step 0, 0.15", kFieldFloat, 0, 0.15, "0.15"},
      {"step 0, exactly 0.125 is above 0.02", kFieldFloat, 0, 0.125, "0.12"},
      {"step 0, 0.0125", kFieldFloat, 0, 0.0125, "0.013"},
      {"step 0, 0.001", kFieldFloat, 0, 0.001, "0.0010"},
      {"step 0, 0.0001", kFieldFloat, 0, 0.0001, "0.00010"},
      {"step 0, zero", kFieldFloat, 0, 0, "0.00000"},
      {"step 0, negative", kFieldFloat, 0, -1, "-1.00000"},
      {"negative step", kFieldFloat, -1, 1.5, "1.500"},
      {"negative step -3", kFieldFloat, -3, 1.5, "1.500"},
      {"negative step exactly -3.1", kFieldFloat, -3.1, 1.5, "1.50000"},
      {"negative step below -3.1", kFieldFloat, -3.2, 1.5, "1.5000"},
      {"float largest", kFieldFloat, 1, FLT_MAX, "340282346638528859811704183484516925440"},
  };
  for (const ShowCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::int32_t i = static_cast<std::int32_t>(c.value);
    float f = static_cast<float>(c.value);
    NumFieldDescriptor d = Field(c.type, c.step, c.type == kFieldInt ? static_cast<void*>(&i) : &f);
    CUDEdit field;
    field.CreateControls(&page, &d, 2401, 0);
    EXPECT_EQ(Text(field.edit()), c.text);
    field.edit()->setText("x");
    field.ShowValue();
    EXPECT_EQ(Text(field.edit()), c.text);
    EXPECT_EQ(field.edit()->cursorPosition(), static_cast<int>(std::strlen(c.text)));
  }
}

TEST_F(CUDEditTest, ShowsTextFieldsUpTo1023Characters) {
  std::string longText(1100, 'k');
  NumFieldDescriptor d = Field(kFieldText, 0, longText.data());
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  EXPECT_EQ(field.edit()->text().size(), 1023);
  EXPECT_EQ(field.edit()->cursorPosition(), 1023);

  char word[16] = "Ondrejov";
  d.value = word;
  field.ShowValue();
  EXPECT_EQ(Text(field.edit()), "Ondrejov");

  d.value = nullptr;
  field.ShowValue();
  EXPECT_EQ(Text(field.edit()), "");
}

TEST_F(CUDEditTest, ShowsDecimalsWithAPointUnderAGermanLocale) {
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  float v = 1.5f;
  NumFieldDescriptor d = Field(kFieldFloat, 0.1, &v);
  CUDEdit field;
  field.CreateControls(&page, &d, 2401, 0);
  EXPECT_EQ(Text(field.edit()), "1.5");
}

// --- What a field reads -----------------------------------------------------------------------

struct ReadCase {
  const char* typed;
  std::int32_t intValue;
  int intChanged;  // from 7
  float floatValue;
  int floatChanged;  // from 7
};

// Both kinds start at 7, so a text that reads as 7 reports no change.
void CheckReadTable(QWidget* page) {
  const ReadCase kCases[] = {
      {"", 0, 1, 0.0f, 1},
      {"-", 0, 1, -1e-8f, 1},
      {"+", 0, 1, 0.0f, 1},
      {"a", 0, 1, 0.0f, 1},
      {"7", 7, 0, 7.0f, 0},
      {"7.0", 7, 0, 7.0f, 0},
      {"5", 5, 1, 5.0f, 1},
      {"12abc", 12, 1, 12.0f, 1},
      {" 42", 42, 1, 42.0f, 1},
      {"-3", -3, 1, -3.0f, 1},
      {"--5", 0, 1, 0.0f, 1},
      {"abc12", 0, 1, 0.0f, 1},
      {"1.5", 1, 1, 1.5f, 1},
      {"1,5", 1, 1, 1.0f, 1},
      {"2.5e2", 2, 1, 250.0f, 1},
      {"1e38", 1, 1, 1e38f, 1},
      // Only the first 15 characters count.
      {"123456789012345678", 0, 1, 123456789012345.0f, 1},
      {"000000000000000123", 0, 1, 0.0f, 1},
      {"00000000000007.5", 7, 0, 7.0f, 0},
      // Out of range or no finite number: 0, never an undefined or non-finite value.
      {"2147483647", 2147483647, 1, 2147483647.0f, 1},
      {"2147483648", 0, 1, 2147483648.0f, 1},
      {"-2147483648", std::numeric_limits<std::int32_t>::min(), 1, -2147483648.0f, 1},
      {"-2147483649", 0, 1, -2147483649.0f, 1},
      {"nan", 0, 1, 0.0f, 1},
      {"inf", 0, 1, 0.0f, 1},
      {"-infinity", 0, 1, 0.0f, 1},
      {"1e40", 1, 1, 0.0f, 1},
      {"-1e39", -1, 1, 0.0f, 1},
  };
  for (const ReadCase& c : kCases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    std::int32_t i = 7;
    NumFieldDescriptor di = Field(kFieldInt, 1, &i);
    CUDEdit intField;
    intField.CreateControls(page, &di, 2001, 0);
    intField.edit()->setText(QString::fromUtf8(c.typed));
    EXPECT_EQ(intField.ReadValue(), c.intChanged);
    EXPECT_EQ(i, c.intValue);

    for (std::int32_t type : {kFieldFloat, kFieldFloatWhole}) {
      SCOPED_TRACE(type);
      float f = 7.0f;
      NumFieldDescriptor df = Field(type, 0.1, &f);
      CUDEdit floatField;
      floatField.CreateControls(page, &df, 2001, 1);
      floatField.edit()->setText(QString::fromUtf8(c.typed));
      EXPECT_EQ(floatField.ReadValue(), c.floatChanged);
      EXPECT_EQ(f, c.floatValue);
    }
  }
}

TEST_F(CUDEditTest, ReadsTypedTextsAsNumbers) { CheckReadTable(&page); }

TEST_F(CUDEditTest, ReadsTypedTextsAsNumbersUnderAGermanLocale) {
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ASSERT_TRUE(german.ok());
  CheckReadTable(&page);
}

TEST_F(CUDEditTest, ReadingAppliesNoLimits) {
  std::int32_t month = 5;
  NumFieldDescriptor d = Field(kFieldInt, 1, &month, 1, 12, LimitWrap, 2);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  field.edit()->setText("40");
  EXPECT_EQ(field.ReadValue(), 1);
  EXPECT_EQ(month, 40);
  EXPECT_EQ(Text(field.edit()), "40");
}

TEST_F(CUDEditTest, ReadsADecimalAgainAfterANanWasStored) {
  float v = std::numeric_limits<float>::quiet_NaN();
  NumFieldDescriptor d = Field(kFieldFloat, 0.1, &v);
  CUDEdit field;
  field.CreateControls(&page, &d, 2401, 0);
  field.edit()->setText("3");
  EXPECT_EQ(field.ReadValue(), 1);
  EXPECT_EQ(v, 3.0f);
}

TEST_F(CUDEditTest, TextFieldCopies15CharactersAndNeverReportsAChange) {
  char buffer[20];
  std::memset(buffer, 'X', sizeof buffer);
  std::memcpy(buffer, "old", 4);
  NumFieldDescriptor d = Field(kFieldText, 0, buffer);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  EXPECT_EQ(field.spin(), nullptr) << "a text field has no spin";

  field.edit()->setText("abcdefghijklmnopq");
  EXPECT_EQ(field.ReadValue(), 0);
  EXPECT_STREQ(buffer, "abcdefghijklmno");
  EXPECT_EQ(buffer[16], 'X') << "nothing written past the terminator";

  // Sixteen bytes of two-byte characters: the cut falls between characters.
  field.edit()->setText(QString::fromUtf8("\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4"));
  EXPECT_EQ(field.ReadValue(), 0);
  EXPECT_STREQ(buffer, "\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4");

  d.value = nullptr;
  EXPECT_EQ(field.ReadValue(), 0);
}

// --- Spin steps -------------------------------------------------------------------------------

struct StepCase {
  const char* name;
  std::int32_t type;
  double step;
  std::int32_t min, max, limitMode, carryIndex;
  const char* typed;  // in the edit box, not read
  int direction;      // 0 up
  double stepOverride;
  double value;  // the bound variable after the step
  const char* text;
  int result;
};

TEST_F(CUDEditTest, StepsFromTheTypedTextWithinTheLimits) {
  const int kI = kFieldInt;
  const int kF = kFieldFloat;
  const int kMax = std::numeric_limits<std::int32_t>::max();
  const int kMin = std::numeric_limits<std::int32_t>::min();
  const StepCase kCases[] = {
      {"wrap down", kI, 1, 1, 12, LimitWrap, 3, "5", 1, 0, 4, "4", -1},
      {"wrap down past min carries", kI, 1, 1, 12, LimitWrap, 3, "1", 1, 0, 12, "12", 3},
      {"wrap up past max carries", kI, 1, 1, 12, LimitWrap, 3, "12", 0, 0, 1, "1", 3},
      {"wrap without a carry field", kI, 1, 1, 12, LimitWrap, -1, "12", 0, 0, 1, "1", -1},
      {"any other mode wraps", kI, 1, 1, 12, 7, 0, "12", 0, 0, 1, "1", 0},
      {"clamp at max", kI, 1, 1, 12, LimitClamp, 3, "12", 0, 0, 12, "12", -1},
      {"clamp at min", kI, 1, 1, 12, LimitClamp, 3, "1", 1, 0, 1, "1", -1},
      {"no limits", kI, 1, 1, 12, LimitNone, 3, "12", 0, 0, 13, "13", -1},
      {"typed outside the limits is brought back", kI, 1, 1, 12, LimitClamp, -1, "40", 1, 0,
       12, "12", -1},
      {"fraction truncated up", kI, 2.7, 0, 0, LimitNone, -1, "5", 0, 0, 7, "7", -1},
      {"fraction truncated down", kI, 2.7, 0, 0, LimitNone, -1, "5", 1, 0, 2, "2", -1},
      {"truncated toward zero", kI, 2.7, 0, 0, LimitNone, -1, "-5", 0, 0, -2, "-2", -1},
      {"override ignored by integers", kI, 1, 0, 0, LimitNone, -1, "5", 0, 0.5, 6, "6", -1},
      {"int no number steps from 0", kI, 1, 0, 0, LimitNone, -1, "abc", 0, 0, 1, "1", -1},
      {"int nan steps from 0", kI, 1, 0, 0, LimitNone, -1, "nan", 1, 0, -1, "-1", -1},
      {"int out of range steps from 0", kI, 1, 0, 0, LimitNone, -1, "2147483648", 0, 0, 1, "1",
       -1},
      {"int saturates up", kI, 1, 0, 0, LimitNone, -1, "2147483647", 0, 0, kMax, "2147483647",
       -1},
      {"int saturates down", kI, 1, 0, 0, LimitNone, -1, "-2147483648", 1, 0, kMin,
       "-2147483648", -1},
      {"int saturates before the limits", kI, 1e10, 0, 100, LimitWrap, 4, "5", 0, 0, 0, "0", 4},
      {"int saturated is clamped", kI, 1e10, 0, 100, LimitClamp, 4, "5", 1, 0, 0, "0", -1},
      {"step 0 at 2 up adds 1", kF, 0, 0, 0, LimitNone, -1, "2", 0, 0, 3, "3", -1},
      {"step 0 at 2 down takes 0.1", kF, 0, 0, 0, LimitNone, -1, "2", 1, 0, 1.9f, "1.9", -1},
      {"step 0 at 0.5 up", kF, 0, 0, 0, LimitNone, -1, "0.5", 0, 0, 0.6f, "0.6", -1},
      {"step 0 at 0.2 down", kF, 0, 0, 0, LimitNone, -1, "0.2", 1, 0, 0.19f, "0.19", -1},
      {"step 0 at 0.05 up", kF, 0, 0, 0, LimitNone, -1, "0.05", 0, 0, 0.06f, "0.06", -1},
      {"step 0 at 0.005 up", kF, 0, 0, 0, LimitNone, -1, "0.005", 0, 0, 0.006f, "0.006", -1},
      {"step 0 at 0.0005 up", kF, 0, 0, 0, LimitNone, -1, "0.0005", 0, 0, 0.0006f, "0.0006",
       -1},
      {"zoom up", kF, 0.5, 1, 100, LimitClamp, -1, "5", 0, 0, 5.5, "5.5", -1},
      {"zoom at 1 down stays", kF, 0.5, 1, 100, LimitClamp, -1, "1", 1, 0, 1, "1.0", -1},
      {"zoom at 100 up stays", kF, 0.5, 1, 100, LimitClamp, -1, "100", 0, 0, 100, "100.0", -1},
      {"override replaces the step", kF, 0.1, 0, 0, LimitNone, -1, "2", 0, 0.5, 2.5, "2.5", -1},
      {"override replaces step 0", kF, 0, 1, 100, LimitClamp, -1, "2", 1, 0.5, 1.5, "1.5", -1},
      {"override 0 keeps the step", kF, 0.1, 0, 0, LimitNone, -1, "2", 0, 0, 2.1f, "2.1", -1},
      {"negative override keeps the step", kF, 0.1, 0, 0, LimitNone, -1, "2", 0, -1, 2.1f, "2.1",
       -1},
      {"decimal wraps with its carry", kF, 1, 0, 360, LimitWrap, 2, "359.5", 0, 0, 0, "0", 2},
      {"decimal wraps below min", kF, 1, 0, 360, LimitWrap, 2, "0.5", 1, 0, 360, "360", 2},
      {"a lone minus is -1e-8", kF, 1, 0, 0, LimitNone, -1, "-", 1, 0, -1.00000001, "-1", -1},
      {"decimal nan steps from 0", kF, 0.5, 1, 100, LimitClamp, -1, "nan", 0, 0, 1, "1.0", -1},
      {"decimal inf steps from 0", kF, 0.5, 0, 0, LimitNone, -1, "inf", 0, 0, 0.5, "0.5", -1},
      {"decimal 1e40 steps from 0", kF, 0.5, 0, 0, LimitNone, -1, "1e40", 1, 0, -0.5, "-0.5",
       -1},
      {"decimal stops at the float range", kF, 1e300, 0, 0, LimitNone, -1, "1", 0, 0, FLT_MAX,
       "340282346638528859811704183484516925440", -1},
  };
  for (const StepCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::int32_t i = 99;
    float f = 99.0f;
    NumFieldDescriptor d = Field(c.type, c.step, c.type == kFieldInt ? static_cast<void*>(&i) : &f,
                                 c.min, c.max, c.limitMode, c.carryIndex);
    CUDEdit field;
    field.CreateControls(&page, &d, 2001, 0);
    field.edit()->setText(QString::fromUtf8(c.typed));
    EXPECT_EQ(field.Step(c.direction, c.stepOverride), c.result);
    if (c.type == kFieldInt) {
      EXPECT_EQ(i, static_cast<std::int32_t>(c.value));
    } else {
      EXPECT_FLOAT_EQ(f, static_cast<float>(c.value));
    }
    EXPECT_EQ(Text(field.edit()), c.text);
  }
}

TEST_F(CUDEditTest, WrapsDownThenUpAsTheMonthFieldDoes) {
  std::int32_t month = 5;
  NumFieldDescriptor d = Field(kFieldInt, 1, &month, 1, 12, LimitWrap, 3);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  std::vector<std::string> shown;
  std::vector<int> results;
  for (int k = 0; k < 5; ++k) {
    results.push_back(field.Step(1, 0));
    shown.push_back(Text(field.edit()));
  }
  results.push_back(field.Step(0, 0));
  shown.push_back(Text(field.edit()));
  EXPECT_EQ(shown, (std::vector<std::string>{"4", "3", "2", "1", "12", "1"}));
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1, -1, 3, 3}));
  EXPECT_EQ(month, 1);
}

TEST_F(CUDEditTest, StepBaseIsTheTypedTextNotTheVariable) {
  std::int32_t v = 5;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  field.edit()->setFocus();
  field.edit()->selectAll();
  QTest::keyClicks(field.edit(), "20");
  EXPECT_EQ(v, 5) << "nobody read the text yet";
  EXPECT_EQ(field.Step(0, 0), -1);
  EXPECT_EQ(v, 21);
  EXPECT_EQ(Text(field.edit()), "21");
}

TEST_F(CUDEditTest, UnsteppedKindsOnlyShowTheirValueAgain) {
  float whole = 3.7f;
  NumFieldDescriptor dw = Field(kFieldFloatWhole, 1, &whole, 0, 10, LimitWrap, 1);
  CUDEdit wholeField;
  wholeField.CreateControls(&page, &dw, 2001, 0);
  wholeField.edit()->setText("99");
  EXPECT_EQ(wholeField.Step(0, 0.5), -1);
  EXPECT_EQ(whole, 3.7f);
  EXPECT_EQ(Text(wholeField.edit()), "4");

  char name[16] = "hello";
  NumFieldDescriptor dt = Field(kFieldText, 1, name);
  CUDEdit textField;
  textField.CreateControls(&page, &dt, 2001, 1);
  textField.edit()->setText("zz");
  page.Take();
  EXPECT_EQ(textField.Step(1, 0), -1);
  EXPECT_STREQ(name, "hello");
  EXPECT_EQ(Text(textField.edit()), "hello");
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2006)}));
}

// --- The date fields' carry chain, driven as a page drives it ---------------------------------

class DatePage : public RecordingPage {
 public:
  static constexpr int kBase = 2001;

  DatePage() {
    descriptors[0] = Field(kFieldInt, 1, &day, 1, 31, LimitWrap, 1);
    descriptors[1] = Field(kFieldInt, 1, &month, 1, 12, LimitWrap, 2);
    descriptors[2] = Field(kFieldInt, 1, &year, 1900, 3000, LimitClamp, -1);
    for (int k = 0; k < 3; ++k) {
      descriptors[k].index = k;
      descriptors[k].x = 4 + 90 * k;
      fields[k].CreateControls(this, &descriptors[k], kBase, k);
    }
    onVScroll = [this](int code, int position, int spinId) {
      if (code != SB_THUMBPOSITION) return;
      const int index = (spinId - kBase) / 5;
      if (index < 0 || index >= 3 || spinId != kBase + 5 * index + 1) return;
      int next = fields[index].Step(position, 0);
      while (next >= 0) next = fields[next].Step(position, 0);
    };
  }

  std::int32_t day = 31;
  std::int32_t month = 12;
  std::int32_t year = 2007;
  NumFieldDescriptor descriptors[3];
  CUDEdit fields[3];
};

TEST_F(CUDEditTest, DayUpOnNewYearsEveCarriesIntoMonthAndYear) {
  DatePage date;
  date.resize(400, 60);
  date.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&date, nv4test::kHangGuardMs));
  SpinArrows* daySpin = date.fields[0].spin();
  ClickAt(daySpin, QPoint(daySpin->width() / 2, daySpin->height() / 4));
  EXPECT_EQ(date.year, 2008);
  EXPECT_EQ(date.month, 1);
  EXPECT_EQ(date.day, 1);
  EXPECT_EQ(Text(date.fields[0].edit()), "1");
  EXPECT_EQ(Text(date.fields[1].edit()), "1");
  EXPECT_EQ(Text(date.fields[2].edit()), "2008");

  ClickAt(daySpin, QPoint(daySpin->width() / 2, daySpin->height() * 3 / 4));
  EXPECT_EQ(date.year, 2007);
  EXPECT_EQ(date.month, 12);
  EXPECT_EQ(date.day, 31);
}

TEST_F(CUDEditTest, YearClampEndsTheChain) {
  DatePage date;
  date.year = 3000;
  date.fields[2].ShowValue();
  date.Take();
  date.OnVScroll(SB_THUMBPOSITION, 0, 2002);
  EXPECT_EQ(date.year, 3000);
  EXPECT_EQ(date.month, 1);
  EXPECT_EQ(date.day, 1);
  // Each step re-showed its field once, and nothing else reached the page.
  EXPECT_EQ(date.Take(), (std::vector<Heard>{Scroll(0, 2002), Command(EN_CHANGE, 2001),
                                             Command(EN_CHANGE, 2006), Command(EN_CHANGE, 2011)}));
}

// --- Ids and places ---------------------------------------------------------------------------

TEST_F(CUDEditTest, ZoomFieldIdsAndPlacesFollowTheGrid) {
  gridScaleX = 1.4;
  gridScaleY = 2.05;
  float zoom = 5.0f;
  NumFieldDescriptor zm{6, 30, 218, 0, "zm", -1, 0, &zoom, 1, 100, 0.5, LimitClamp, 20, nullptr, 0};
  CUDEdit field;
  field.CreateControls(&page, &zm, 2401, 0);
  EXPECT_EQ(zm.controlId, 2401);
  EXPECT_EQ(field.descriptor(), &zm);

  EXPECT_EQ(platform::FindItem(&page, 2401), field.edit());
  EXPECT_EQ(platform::FindItem(&page, 2402), field.spin());
  EXPECT_EQ(platform::FindItem(&page, 0xFFFF), field.labelControl());
  EXPECT_EQ(platform::FindItem(&page, 2403), nullptr) << "no check box";
  EXPECT_EQ(platform::FindItem(&page, 2404), nullptr);
  EXPECT_EQ(field.check(), nullptr);

  // Corners by the grid rule: label (218, 2)-(238, 17), edit (240, 0)-(270, 19),
  // spin (271, 0)-(287, 19).
  EXPECT_EQ(field.labelControl()->geometry(), QRect(306, 5, 28, 31));
  EXPECT_EQ(field.edit()->geometry(), QRect(337, 1, 42, 39));
  EXPECT_EQ(field.spin()->geometry(), QRect(380, 1, 23, 39));

  EXPECT_EQ(field.labelControl()->text(), "zm");
  EXPECT_TRUE(field.labelControl()->alignment() & Qt::AlignLeft);
  EXPECT_TRUE(field.edit()->alignment() & Qt::AlignRight);
  EXPECT_EQ(Text(field.edit()), "5.0");
  for (QWidget* control : {static_cast<QWidget*>(field.labelControl()),
                           static_cast<QWidget*>(field.edit()),
                           static_cast<QWidget*>(field.spin())}) {
    EXPECT_EQ(control->parentWidget(), &page);
    EXPECT_TRUE(control->isVisible());
    EXPECT_EQ(control->font(), page.font());
  }
  EXPECT_EQ(field.spin()->orientation(), Qt::Vertical);
}

TEST_F(CUDEditTest, CheckBoxComesFirstAndOwnsTheFourthIdOfTheBlock) {
  gridScaleX = 1.75;
  gridScaleY = 1.625;
  std::int32_t v = 3;
  std::int32_t flag = 1;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  d.x = 10;
  d.y = 30;
  d.labelWidth = 25;
  d.checkFlag = &flag;
  d.index = 2;
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 2);
  EXPECT_EQ(d.controlId, 2011);
  EXPECT_EQ(platform::FindItem(&page, 2011), field.edit());
  EXPECT_EQ(platform::FindItem(&page, 2012), field.spin());
  EXPECT_EQ(platform::FindItem(&page, 2014), field.check());
  // Check (10, 32)-(25, 47), label (26, 32)-(51, 47), edit (53, 30)-(93, 49), spin
  // (94, 30)-(110, 49).
  EXPECT_EQ(field.check()->geometry(), QRect(18, 53, 27, 24));
  EXPECT_EQ(field.labelControl()->geometry(), QRect(46, 53, 44, 24));
  EXPECT_EQ(field.edit()->geometry(), QRect(94, 50, 70, 30));
  EXPECT_EQ(field.spin()->geometry(), QRect(165, 50, 28, 30));
  EXPECT_TRUE(field.check()->isChecked());
  EXPECT_TRUE(field.check()->text().isEmpty());

  // The field never reads the box back: a click is the page's to act on.
  page.Take();
  QTest::mouseClick(field.check(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(6, field.check()->height() / 2));
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(BN_CLICKED, 2014)}));
  EXPECT_TRUE(field.check()->isChecked());
  EXPECT_EQ(flag, 1);

  std::int32_t off = 0;
  d.checkFlag = &off;
  d.labelWidth = 0;
  CUDEdit second;
  second.CreateControls(&page, &d, 2001, 2);
  EXPECT_FALSE(second.check()->isChecked());
  EXPECT_EQ(second.labelControl(), nullptr) << "label width 0: no label";
  // Without a label the edit box follows the check box directly: (26, 30)-(66, 49).
  EXPECT_EQ(second.edit()->x(), GridToPixels(26, 1.75));
}

TEST_F(CUDEditTest, TextFieldIsLeftAlignedWithNoSpin) {
  char name[16] = "abc";
  NumFieldDescriptor d = Field(kFieldText, 0, name);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  EXPECT_FALSE(field.edit()->alignment() & Qt::AlignRight);
  EXPECT_EQ(platform::FindItem(&page, 2002), nullptr);
}

// --- What the page hears ----------------------------------------------------------------------

TEST_F(CUDEditTest, EveryShowValueIsHeardOnceEvenWhenTheTextStays) {
  float zoom = 5.0f;
  NumFieldDescriptor d = Field(kFieldFloat, 0.5, &zoom, 1, 100, LimitClamp);
  CUDEdit field;
  field.CreateControls(&page, &d, 2401, 0);
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2401)}))
      << "creating shows the value";

  field.ShowValue();  // "5.0" again: Qt would say nothing
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2401)}));

  zoom = 7.5f;
  field.ShowValue();
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2401)}));
  EXPECT_EQ(Text(field.edit()), "7.5");

  field.Step(0, 0);
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2401)}));
  EXPECT_EQ(Text(field.edit()), "8.0");

  zoom = 100.0f;
  field.ShowValue();
  page.Take();
  field.Step(0, 0);  // clamped: the text stays "100.0" and is still heard once
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2401)}));
}

TEST_F(CUDEditTest, ThePageCanReadTheValueWhileHearingTheChange) {
  float zoom = 5.0f;
  NumFieldDescriptor d = Field(kFieldFloat, 0.5, &zoom, 1, 100, LimitClamp);
  CUDEdit field;
  std::vector<int> changes;
  page.onCommand = [&](int code, int id) {
    if (code == EN_CHANGE && id == 2401) changes.push_back(field.ReadValue());
  };
  field.CreateControls(&page, &d, 2401, 0);
  field.edit()->setFocus();
  for (int k = 0; k < 3; ++k) QTest::keyClick(field.edit(), Qt::Key_Backspace);
  QTest::keyClicks(field.edit(), "12");
  EXPECT_EQ(zoom, 12.0f);
  // "5.0" shown, then "5.", "5", "", "1", "12" typed.
  EXPECT_EQ(changes, (std::vector<int>{0, 0, 0, 1, 1, 1}));
  page.onCommand = nullptr;
}

TEST_F(CUDEditTest, EachKeystrokeIsHeardOnce) {
  std::int32_t v = 0;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 1);
  page.Take();
  field.edit()->setFocus();
  field.edit()->selectAll();
  QTest::keyClicks(field.edit(), "123");
  EXPECT_EQ(page.Take(), (std::vector<Heard>(3, Command(EN_CHANGE, 2006))));
  QTest::keyClick(field.edit(), Qt::Key_Backspace);
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Command(EN_CHANGE, 2006)}));
  QTest::keyClick(field.edit(), Qt::Key_Left);
  EXPECT_TRUE(page.Take().empty()) << "moving the caret changes nothing";
  EXPECT_EQ(Text(field.edit()), "12");
  EXPECT_EQ(v, 0) << "the field reads only when the page asks";
}

TEST_F(CUDEditTest, ArrowClicksReachThePageWithTheirPosition) {
  std::int32_t v = 5;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v, 1, 12, LimitWrap, -1);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 3);
  page.Take();
  SpinArrows* spin = field.spin();
  ClickAt(spin, QPoint(spin->width() / 2, 2));
  ClickAt(spin, QPoint(spin->width() / 2, spin->height() - 3));
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Scroll(0, 2017), Scroll(1, 2017)}));
  EXPECT_EQ(v, 5) << "the field does not step on its own";
  EXPECT_EQ(Text(field.edit()), "5");
}

// Before, Tab from an edit box landed on its own arrows, and the arrow keys stepped them.
TEST_F(CUDEditTest, TabGoesFromEditBoxToEditBoxAndTheArrowsTakeNoKeys) {
  std::int32_t a = 5, b = 7;
  NumFieldDescriptor da = Field(kFieldInt, 1, &a);
  NumFieldDescriptor db = Field(kFieldInt, 1, &b);
  db.y = 40;
  CUDEdit first, second;
  first.CreateControls(&page, &da, 2001, 0);
  second.CreateControls(&page, &db, 2001, 1);
  EXPECT_EQ(first.spin()->focusPolicy(), Qt::NoFocus);
  page.activateWindow();
  first.edit()->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(first.edit()->hasFocus());
  QTest::keyClick(first.edit(), Qt::Key_Tab);
  EXPECT_TRUE(second.edit()->hasFocus()) << "focus on "
                                         << (QApplication::focusWidget()
                                                 ? QApplication::focusWidget()->metaObject()->className()
                                                 : "nothing");
  page.Take();
  // A click on an arrow leaves the focus where the user typed; Up there steps nothing.
  ClickAt(first.spin(), QPoint(4, 2));
  EXPECT_TRUE(second.edit()->hasFocus());
  QTest::keyClick(second.edit(), Qt::Key_Up);
  EXPECT_EQ(page.Take(), (std::vector<Heard>{Scroll(0, 2002)}));
}

TEST_F(CUDEditTest, LabelSitsAtTheTopLeftOfItsRectangle) {
  std::int32_t v = 5;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  EXPECT_EQ(field.labelControl()->alignment(), Qt::AlignLeft | Qt::AlignTop);
}

TEST_F(CUDEditTest, DisabledFieldKeepsLabelAndCheckBoxEnabled) {
  std::int32_t v = 5;
  std::int32_t flag = 0;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  d.checkFlag = &flag;
  CUDEdit field;
  field.CreateControls(&page, &d, 2001, 0);
  field.Enable(0);
  EXPECT_FALSE(field.edit()->isEnabled());
  EXPECT_FALSE(field.spin()->isEnabled());
  EXPECT_TRUE(field.labelControl()->isEnabled());
  EXPECT_TRUE(field.check()->isEnabled());
  page.Take();
  ClickAt(field.spin(), QPoint(4, 2));
  EXPECT_TRUE(page.Take().empty());
  field.Enable(1);
  EXPECT_TRUE(field.edit()->isEnabled());
  EXPECT_TRUE(field.spin()->isEnabled());
}

TEST_F(CUDEditTest, APageThatHearsNothingStillGetsAWorkingField) {
  QWidget plain;
  plain.resize(300, 80);
  std::int32_t v = 4;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v, 1, 5, LimitClamp);
  CUDEdit field;
  field.CreateControls(&plain, &d, 2001, 0);
  EXPECT_EQ(Text(field.edit()), "4");
  field.spin()->Click(ArrowDirection::kUpOrRight);  // nobody listens
  EXPECT_EQ(field.Step(0, 0), -1);
  EXPECT_EQ(field.Step(0, 0), -1);
  EXPECT_EQ(v, 5);
  field.edit()->setText("2");
  EXPECT_EQ(field.ReadValue(), 1);
  EXPECT_EQ(v, 2);
}

TEST_F(CUDEditTest, ControlsGoWithTheField) {
  std::int32_t v = 1;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  {
    CUDEdit field;
    field.CreateControls(&page, &d, 2001, 0);
    ASSERT_NE(platform::FindItem(&page, 2001), nullptr);
  }
  EXPECT_EQ(platform::FindItem(&page, 2001), nullptr);
  EXPECT_EQ(platform::FindItem(&page, 2002), nullptr);
  EXPECT_EQ(platform::FindItem(&page, 0xFFFF), nullptr);
  EXPECT_EQ(d.controlId, 2001) << "the descriptor keeps the last id";
}

TEST_F(CUDEditTest, FieldOutlivingItsPageIsHarmless) {
  std::int32_t v = 1;
  NumFieldDescriptor d = Field(kFieldInt, 1, &v);
  CUDEdit field;
  {
    RecordingPage shortLived;
    field.CreateControls(&shortLived, &d, 2001, 0);
  }
  EXPECT_EQ(field.edit(), nullptr);
  field.ShowValue();
  EXPECT_EQ(field.ReadValue(), 0);
  EXPECT_EQ(field.Step(0, 0), -1);
  field.Enable(0);
}

// A person looks at a row of fields as the Main page will show them.
TEST_F(CUDEditTest, ScreenshotOfAFewFields) {
  gridScaleX = 1.75;
  gridScaleY = 1.625;
  std::int32_t year = 2007, month = 12;
  float zoom = 5.0f, dt = 0.25f;
  char name[16] = "Ondrejov";
  std::int32_t flag = 1;
  NumFieldDescriptor ds[] = {
      Field(kFieldInt, 1, &year, 1900, 3000, LimitClamp),
      Field(kFieldInt, 1, &month, 1, 12, LimitWrap),
      Field(kFieldFloat, 0.5, &zoom, 1, 100, LimitClamp),
      Field(kFieldFloat, 0, &dt),
      Field(kFieldText, 0, name),
  };
  const char* labels[] = {"year", "mon", "zm", "dT", "site"};
  CUDEdit fields[5];
  for (int k = 0; k < 5; ++k) {
    ds[k].x = 4 + (k % 3) * 110;
    ds[k].y = 4 + (k / 3) * 26;
    std::strcpy(ds[k].label, labels[k]);
    ds[k].labelWidth = 24;
    ds[k].editWidth = 50;
    if (k == 3) ds[k].checkFlag = &flag;
    fields[k].CreateControls(&page, &ds[k], 2001, k);
  }
  fields[1].Enable(0);
  page.resize(GridToPixels(340, gridScaleX), GridToPixels(60, gridScaleY));
  QApplication::processEvents();
  const QImage shot = page.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  const std::string path = std::string(NV4_BINARY_DIR) + "/ulib_ui_cu_dedit_fields.png";
  EXPECT_TRUE(shot.save(QString::fromStdString(path), "PNG"));
}

}  // namespace
