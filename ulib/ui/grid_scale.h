#pragma once
// Grid units of the scaled lists and numeric fields become pixels through two process-wide
// factors, measured from the Main page once it stands (until then the values below).

extern double gridScaleX;  // 1.4 at start
extern double gridScaleY;  // 2.05 at start

// px = trunc((grid + 0.5) * scale + 0.5), truncated toward zero.
int GridToPixels(double grid, double scale);
