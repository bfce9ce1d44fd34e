// Stand-in until the status line lands.
#include "app/status_line.h"

void UpdateStatusLine() {}
