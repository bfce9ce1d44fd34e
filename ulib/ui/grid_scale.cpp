#include "ulib/ui/grid_scale.h"

double gridScaleX = 1.4;
double gridScaleY = 2.05;

int GridToPixels(double grid, double scale) { return static_cast<int>((grid + 0.5) * scale + 0.5); }
