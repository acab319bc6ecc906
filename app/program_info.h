#pragma once
// The program's name and version as it shows them in titles, the settings
// file and the program log.
inline constexpr const char* kProgramName = "Seatwatch";
inline constexpr const char* kProgramVersion = "2.11.03";
