#pragma once

// Shown on the splash ("NortavelV4 V%4.2f") and in the first caption ("NortavelV4 V%.2f").
inline constexpr double ProgramVersion = 4.04;
