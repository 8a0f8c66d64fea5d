#pragma once
// The real main window for the GUI tests that go through its toolbar (tests
// that link the shell): shown as the start-up leaves it, with the splash
// gone, and its toolbar clicked by button key.

#include "Forms.h"
#include "Orvalis.h"
#include "ProgramState.h"
#include "Shell.h"

#include <QTest>
#include <QToolButton>

namespace RealMainWindow {

// Null unless the main window comes up active. Ending the program does
// nothing, so that closing it in a test leaves the test running.
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

inline void clickToolbar(Orvalis *main, const QString &key)
{
    for (int index = 1; index <= Orvalis::kToolbarButtons; ++index)
        if (main->toolbarItem(index)->objectName() == key)
            QTest::mouseClick(main->toolbarButton(index), Qt::LeftButton);
}

} // namespace RealMainWindow
