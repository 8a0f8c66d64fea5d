#pragma once
// The folder whose bank the program works on, made its working directory
// before any window opens (the bank files are opened relative to it). The
// teacher's own folder lies under the user's data folder; the first start
// creates it with a copy of the installed demo bank, and it is never
// overwritten afterwards. Every failure is a Spanish sentence, empty when none.

#include "CommandLine.h"

#include <QString>
#include <QStringList>

namespace BankFolder {

// What the program knows of its surroundings when it starts.
struct Environment
{
    QString dataHome;      // $XDG_DATA_HOME, maybe empty
    QString home;          // $HOME
    QString programFolder; // the folder of the running executable

    static Environment current();
};

// The four bank files, by the names the windows open them.
QStringList bankFileNames();

// True when none of the four bank files is in folder, in any letter case: the
// windows would start an empty bank there.
bool holdsNoBank(const QString &folder);

// $XDG_DATA_HOME/orvalis/banco, or ~/.local/share/orvalis/banco when
// XDG_DATA_HOME is unset, empty or relative. Empty, with *error, when not even
// the home folder is known.
QString personalFolder(const Environment &environment, QString *error);

// The demo bank as installed beside the executable: <prefix>/share/orvalis/banco-demo
// for <prefix>/bin/orvalis, wherever the prefix lies.
QString installedDemoBank(const QString &programFolder);

// Empty when the program can work in folder: it exists, is a folder, and can
// be listed, read and written.
QString checkUsable(const QString &folder);

// Leaves an existing folder as it is. Otherwise creates it holding a copy of
// the bank files of demoFolder: the copy is built in a sibling folder, flushed
// to disk and renamed into place, so that a start killed at any moment leaves
// either no folder (the next start makes it again) or a whole one.
QString preparePersonal(const QString &folder, const QString &demoFolder);

// Finds the folder the request names, prepares it when it is the personal one,
// checks it and makes it the working directory.
QString enter(const CommandLine::Request &request, const Environment &environment);

// Called after each step of preparePersonal that touches the disk, so that a
// test can end the process there as if it had been killed. None by default.
using StepHook = void (*)();
void setStepHook(StepHook hook);

} // namespace BankFolder
