#include "ulib/ui/edit_record_form.h"

RecordFieldGeometry RecordFieldGeometryAt(int layoutColumn) {
  const int x0 = 250 * (layoutColumn / kRecordFieldsPerGroup);
  const int y = 24 + 20 * (layoutColumn % kRecordFieldsPerGroup);
  // Right and bottom edges are exclusive: the label is 48 by 19 pixels, the field 188 by 19.
  return {QRect(x0 + 10, y, 48, 19), QRect(x0 + 62, y, 188, 19)};
}

QSize RecordFormSize(int columnCount, QSize templateSize) {
  if (columnCount < kRecordFieldsPerGroup) return QSize(templateSize.width(), 50 + 20 * columnCount);
  return QSize(250 * (columnCount / kRecordFieldsPerGroup) + 270, 650);
}
