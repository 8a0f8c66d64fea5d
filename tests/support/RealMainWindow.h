#pragma once
// The real main window for the GUI tests that link the shell, as the start-up
// leaves it with the splash gone; null unless it comes up active. Ending the
// program does nothing, so that closing it leaves the test running.
#include "Forms.h"
#include "Orvalis.h"
#include "ProgramState.h"
#include "Shell.h"

#include <QTest>

namespace RealMainWindow {

inline Orvalis *open()
{
    Shell::registerForms();
    Forms::show(QStringLiteral("Fondo"));
    auto *main = Forms::findAs<Orvalis>(QStringLiteral("Orvalis"));
    if (!main)
        return nullptr;
    main->setEndProgram([] {});
    Forms::unload(QStringLiteral("Apertura"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ActiveWindowCode = ActiveWindowCodes::kMain;
    return QTest::qWaitForWindowActive(main) ? main : nullptr;
}

} // namespace RealMainWindow
