#pragma once
// How the windows hand over to each other. Two program-wide values carry it
// (ProgramState.h), and only the functions here read or write them:
// ActiveWindowCode, the code of the window that last opened help or handed a
// text to the output window, and ReturnWindowName, the selection window the
// output window goes back to.
//
//   Orvalis (main window) ── menu or toolbar ──▶ a working window
//       (Testselec 3, Examselec 1, Testmodi 4, Exammodi 2) opens
//   Orvalis, a working window or Impres ── openHelp(own code) ──▶ AYUDA
//       shows the section of helpOpener(); "Cerrar ayuda": helpClosed()
//       sets the code to none (−999)
//   Testselec or Examselec ── toOutput(own code, text, exam) ──▶ Impres
//       1. the code becomes the selection window's, since hiding it next
//          deactivates it; 2. it hides, keeping its selection;
//          3. ReturnWindowName := its name; 4. Impres shows the text and the
//          exam (and asks returnWindow() which versions that window last sent)
//   Impres "Salir de impresión" ── outputLeft() ──▶ the selection window
//       Impres closes, the code becomes none, the window named by
//       ReturnWindowName shows again as it was
//   a working window loses activation to another window of the program:
//       it leaves (asking first where it asks) unless keepsOpen(own code),
//       that is, unless it opened help or handed over and the code is its
//       own still
//
// The code starts at 0 (the main window); ReturnWindowName is never cleared.

#include "ExamDescription.h"

#include <QString>
#include <QtGlobal>

class Form;

namespace HandOver {

// Shows the help window for the window of code `opener`.
void openHelp(qint16 opener);
// The code of the window whose help is asked for.
qint16 helpOpener();
// The help window was closed with its button.
void helpClosed();

// Whether a working window of code `code` stays when it loses activation.
bool keepsOpen(qint16 code);

// Hands `text`, composed from `exam`, from the selection window `from` of
// code `code` to the output window. False, with `from` shown again, when the
// program has no output window.
bool toOutput(Form *from, qint16 code, const QString &text, const ExamDescription &exam);
// The output window was left: it is closed, and the window it returns to is
// shown.
void outputLeft();
// The name of the selection window the output window returns to.
QString returnWindow();

} // namespace HandOver
