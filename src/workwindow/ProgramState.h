#pragma once
// Program-wide state shared between windows: which window last opened help or
// handed a text to the output window, and which selection window the output
// window returns to.

#include <QString>
#include <QtGlobal>

namespace ActiveWindowCodes {
inline constexpr qint16 kMain = 0;
inline constexpr qint16 kExpositionSelection = 1;
inline constexpr qint16 kExpositionMaintenance = 2;
inline constexpr qint16 kTrueFalseSelection = 3;
inline constexpr qint16 kTrueFalseMaintenance = 4;
inline constexpr qint16 kOutput = 5;
inline constexpr qint16 kMarking = 6;
inline constexpr qint16 kNone = -999;
} // namespace ActiveWindowCodes

// Starts at 0 (the main window).
extern qint16 ActiveWindowCode;
// "Testselec" or "Examselec"; written at each hand-over, never cleared.
extern QString ReturnWindowName;
