#include "ulib/ui/edit_record_form.h"

#include <gtest/gtest.h>

namespace {

TEST(EditRecordFormTest, FieldsRunDownInGroupsOfThirty) {
  struct Case {
    int column;
    QRect label, field;
  };
  const Case kCases[] = {
      {0, QRect(10, 24, 48, 19), QRect(62, 24, 188, 19)},
      {1, QRect(10, 44, 48, 19), QRect(62, 44, 188, 19)},
      {16, QRect(10, 344, 48, 19), QRect(62, 344, 188, 19)},
      {29, QRect(10, 604, 48, 19), QRect(62, 604, 188, 19)},
      {30, QRect(260, 24, 48, 19), QRect(312, 24, 188, 19)},
      {61, QRect(510, 44, 48, 19), QRect(562, 44, 188, 19)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.column);
    const RecordFieldGeometry g = RecordFieldGeometryAt(c.column);
    EXPECT_EQ(g.label, c.label);
    EXPECT_EQ(g.field, c.field);
  }
}

TEST(EditRecordFormTest, WindowSize) {
  const QSize kTemplate(300, 600);
  EXPECT_EQ(RecordFormSize(17, kTemplate), QSize(300, 390));
  EXPECT_EQ(RecordFormSize(1, kTemplate), QSize(300, 70));
  EXPECT_EQ(RecordFormSize(29, kTemplate), QSize(300, 630));
  EXPECT_EQ(RecordFormSize(30, kTemplate), QSize(520, 650));
  EXPECT_EQ(RecordFormSize(60, kTemplate), QSize(770, 650));
}

}  // namespace
