#include "app/main_page_fields.h"

#include "params/app_params.h"

// Positions and widths in grid units. The day carries into its month and the month into its
// year, so the spins walk the calendar; the years only clamp.
NumFieldDescriptor mainFields[kMainFieldCount] = {
    {kFieldInt, 34, 0, 45, "y1", -1, 0, &AP.y1, 1900, 3000, 1, LimitClamp, 14, nullptr, 0},
    {kFieldInt, 20, 69, 45, "m1", kFieldY1, 1, &AP.m1, 1, 12, 1, LimitWrap, 16, nullptr, 0},
    {kFieldInt, 20, 129, 45, "d1", kFieldM1, 2, &AP.d1, 1, 31, 1, LimitWrap, 14, nullptr, 0},
    {kFieldInt, 34, 0, 65, "y2", -1, 3, &AP.y2, 1900, 3000, 1, LimitClamp, 14, nullptr, 0},
    {kFieldInt, 20, 69, 65, "m2", kFieldY2, 4, &AP.m2, 1, 12, 1, LimitWrap, 16, nullptr, 0},
    {kFieldInt, 20, 129, 65, "d2", kFieldM2, 5, &AP.d2, 1, 31, 1, LimitWrap, 14, nullptr, 0},
    {kFieldFloat, 34, 0, 90, "GD", -1, 6, &AP.GD, 0, 6000, 1.0, LimitClamp, 16, nullptr, 0},
    {kFieldFloat, 34, 72, 90, "dT", -1, 7, &AP.dt, 1, 100, 1.0, LimitClamp, 16, nullptr, 0},
    {kFieldFloat, 34, 148, 90, "Qc", -1, 8, &AP.Qc, 0, 90, 0.1, LimitClamp, 16, nullptr, 0},
    {kFieldInt, 40, 255, 60, "TZ", -1, 9, &AP.tz, 0, 86400, 1, LimitClamp, 16, nullptr, 0},
};
