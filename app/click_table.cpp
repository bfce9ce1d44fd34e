// Stand-in until the click table lands.
#include "app/click_table.h"

CUTable* clickTable1 = nullptr;
CUTable* clickTable2 = nullptr;
