#pragma once
// The program's command line. With no argument the program works on the bank
// in its working directory; a folder argument names another folder; the
// personal-bank option (the one the desktop entry uses) chooses the teacher's
// own bank folder. Help and version texts are in Spanish. Parsing is a plain
// function of the arguments so that it is checked without starting the program.

#include <QString>
#include <QStringList>

namespace CommandLine {

inline constexpr int kUsageError = 2; // exit status for bad options and unusable folders

inline const QString kPersonalOption = QStringLiteral("--banco-personal");

enum class Action
{
    Run,         // start the program on the bank chosen by `place`
    ShowHelp,    // print helpText() and end
    ShowVersion, // print versionText() and end
    Fail,        // print `error` and end with kUsageError
};

enum class BankPlace
{
    WorkingFolder,  // the bank in the working directory, as started
    GivenFolder,    // the bank in `folder`
    PersonalFolder, // the teacher's own bank (see BankFolder::personalFolder)
};

struct Request
{
    Action action = Action::Run;
    BankPlace place = BankPlace::WorkingFolder;
    QString folder; // GivenFolder only
    QString error;  // Fail only: one Spanish sentence, without the program's name
};

// arguments: the command line without the program's own name. Read from left
// to right; the first help or version option, or the first fault, decides.
Request parse(const QStringList &arguments);

QString helpText();
QString versionText();

} // namespace CommandLine
