#pragma once
// Shared set-up of the shell's GUI tests: the shell's windows registered,
// working windows replaced by logging stand-ins, and a main window whose
// ending of the program is recorded instead of leaving the event loop.

#include "Form.h"
#include "Forms.h"
#include "Orvalis.h"
#include "Shell.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>

struct ShellLog
{
    static QStringList &lines()
    {
        static QStringList log;
        return log;
    }
};

// A working window that only records its lifecycle.
class StandInForm : public Form
{
public:
    explicit StandInForm(const QString &name) : Form(name) { resize(300, 200); }
    void Form_Load() override { ShellLog::lines() << objectName() + QStringLiteral(":Load"); }
    void Form_Activate() override
    {
        ShellLog::lines() << objectName() + QStringLiteral(":Activate");
    }
    void Form_Deactivate() override
    {
        ShellLog::lines() << objectName() + QStringLiteral(":Deactivate");
    }
    void Form_Unload() override { ShellLog::lines() << objectName() + QStringLiteral(":Unload"); }
};

inline void registerStandIns(const QStringList &names)
{
    for (const QString &name : names)
        Forms::registerForm(name, [name] { return new StandInForm(name); });
}

inline void clearForms()
{
    Forms::reset();
    ShellLog::lines().clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
