#pragma once
// What every GUI test of a window sets up alike: a bank folder that is the
// working directory, a stand-in main window on the screen, the window under
// test shown by name and waited for until it is the program's active form;
// and the tear-down that forgets every window, closes every file and puts
// the printer back. Beside it, the helpers these tests share: the control
// holding the focus, a key pressed there, a click or double-click on a cell.

#include "FakeMainWindowServices.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "KeyboardFocus.h"
#include "OpenFiles.h"
#include "PrinterSeam.h"
#include "ProgramState.h"

#include <QApplication>
#include <QTest>

#include <memory>

template <class Bank> class GuiFixture
{
public:
    // True once the bank is written and the main window is on the screen.
    bool setUp()
    {
        bank = std::make_unique<Bank>();
        main = std::make_unique<FakeMainWindowServices>();
        main->window.show();
        return bank->isReady() && QTest::qWaitForWindowExposed(&main->window);
    }

    // Shows the registered window `name` with ActiveWindowCode set to `code`;
    // null unless it becomes the active form.
    template <class Window> Window *open(const QString &name, qint16 code)
    {
        ActiveWindowCode = code;
        auto *window = qobject_cast<Window *>(Forms::show(name));
        if (!window || !QTest::qWaitFor([window] { return Forms::activeForm() == window; }))
            return nullptr;
        return window;
    }

    // Forgets every window and the stand-in main window, for a test that
    // goes on with the program's own main window.
    void dropStandIn()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.reset();
    }

    void tearDown()
    {
        PrinterSeam::setFactory({});
        dropStandIn();
        closeAllFiles();
        bank.reset();
        ActiveWindowCode = ActiveWindowCodes::kMain;
    }

    std::unique_ptr<Bank> bank;
    std::unique_ptr<FakeMainWindowServices> main;
};

namespace GuiTest {

// The control holding the focus and a key pressed there, as the keyboard
// tests name them.
using KeyboardFocus::focusName;
inline void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    KeyboardFocus::press(key, modifiers);
}

// A click on the cell; false when the cell is not on the screen.
inline bool clickCell(FlexGrid *grid, int row, int col)
{
    const FlexGrid::CellSpot spot = grid->locateCell(row, col);
    if (!spot.widget)
        return false;
    QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
    return true;
}

// A click on the cell, then a double-click, as the teacher makes one; false
// when the cell is not on the screen.
inline bool doubleClickCell(FlexGrid *grid, int row, int col)
{
    if (!clickCell(grid, row, col))
        return false;
    const FlexGrid::CellSpot spot = grid->locateCell(row, col);
    QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
    return true;
}

// Leaves `window` as `how` says: "Salir" (its Command2), "Esc", "main window"
// (that window takes the activation) or "close box".
inline void leave(QWidget *window, QWidget *mainWindow, const QString &how)
{
    if (how == u"Salir")
        QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("Command2")), Qt::LeftButton);
    else if (how == u"Esc")
        key(Qt::Key_Escape);
    else if (how == u"main window")
        mainWindow->activateWindow();
    else
        window->close();
}

} // namespace GuiTest
