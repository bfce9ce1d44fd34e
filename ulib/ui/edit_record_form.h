#pragma once
// Geometry of the Edit record dialog's form, in pixels of its client area: one label and one
// field per layout column, running down in groups of 30, each group 250 pixels right of the
// one before.

#include <QRect>
#include <QSize>

inline constexpr int kRecordFieldsPerGroup = 30;

struct RecordFieldGeometry {
  QRect label;
  QRect field;
};
// Layout column i's label, from (x0 + 10, y) to (x0 + 58, y + 19), and field, from
// (x0 + 62, y) to (x0 + 250, y + 19), with x0 = 250 (i / 30) and y = 24 + 20 (i mod 30).
RecordFieldGeometry RecordFieldGeometryAt(int layoutColumn);

// The dialog's size for columnCount columns: below 30, 50 + 20 n high at the template's width;
// otherwise 650 high and 250 (n / 30) + 270 wide.
QSize RecordFormSize(int columnCount, QSize templateSize);
