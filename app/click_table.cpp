#include "app/click_table.h"

CUTable* clickTable1 = nullptr;
CUTable* clickTable2 = nullptr;

// One descriptor for both click tables; list "C1" keeps its line maps in dline and itemdata,
// list "C2" in dline2 and itemdata2.
const TableDescriptor ClickTable = {
    "NVclick.csv",
    512,
    10000,
    kClickColumnCount,
    {
        {CellExist, 0, "exist"},
        {CellInt, 1, "pos"},
        {CellFloat, 1, "az"},
        {CellFloat, 1, "ev"},
        {CellInt, 0, "dline"},
        {CellInt, 0, "dline2"},
        {CellInt, 0, "itemdata"},
        {CellInt, 0, "itemdata2"},
    },
};
