#include "ProgramState.h"

qint16 ActiveWindowCode = ActiveWindowCodes::kMain;
QString ReturnWindowName;
