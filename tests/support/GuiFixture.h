#pragma once
// What every GUI test of a window sets up alike: a bank folder that is the
// working directory, a stand-in main window on the screen, the window under
// test shown by name until it is the active form; the tear-down that forgets
// every window, closes every file and puts the printer back; and the mouse
// and keyboard helpers these tests share.
#include "FakeMainWindowServices.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "OpenFiles.h"
#include "PrinterSeam.h"
#include "ProgramState.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPrinter>
#include <QTest>

#include <cstdio>
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
    // Shows the registered window `name` with ActiveWindowCode `code`; null
    // unless it becomes the active form.
    template <class Window>
    Window *open(const QString &name, qint16 code = ActiveWindowCodes::kMain)
    {
        ActiveWindowCode = code;
        auto *window = qobject_cast<Window *>(Forms::show(name));
        return window && QTest::qWaitFor([window] { return Forms::activeForm() == window; })
                   ? window
                   : nullptr;
    }
    // Forgets every window and the stand-in, for a test that goes on with the
    // program's own main window.
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

// Registers each window class under its own name.
template <class... Windows> void registerWindows()
{
    (Forms::registerForm(Windows::kName, [] { return new Windows; }), ...);
}

// The control holding the focus (a grid stands for the table inside it).
inline QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    if (auto *inGrid = focus ? qobject_cast<FlexGrid *>(focus->parentWidget()) : nullptr)
        return inGrid->objectName();
    return focus ? focus->objectName() : QString();
}
// A key pressed where the focus is; Shift+Tab is Backtab with Shift held.
inline void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key,
                    key == Qt::Key_Backtab ? modifiers | Qt::ShiftModifier : modifiers);
}
// Tab (or Shift+Tab) until `name` has the focus, within one round; the name reached.
inline QString tabTo(const QString &name, Qt::Key tab = Qt::Key_Tab)
{
    for (int i = 0; i < 20 && focusName() != name; ++i)
        key(tab);
    return focusName();
}
inline void click(QWidget *window, const QString &button)
{
    QTest::mouseClick(window->findChild<QAbstractButton *>(button), Qt::LeftButton);
}
// A click on the cell then a double-click, as the teacher makes one; false
// when the cell is not on the screen.
inline bool clickCell(FlexGrid *grid, int row, int col, bool twice = false)
{
    const FlexGrid::CellSpot spot = grid->locateCell(row, col);
    if (!spot.widget)
        return false;
    QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
    if (twice)
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
    return true;
}
// Another program replaces the file: its new bytes written beside it, then
// renamed over it.
inline bool replaceFile(const QString &path, const QByteArray &bytes)
{
    const QString other = path + QStringLiteral(".otro");
    return testFiles::writeFile(other, bytes) &&
           !std::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData());
}
// Printing goes to this PDF file.
inline void printTo(const QString &pdf)
{
    PrinterSeam::setFactory([pdf] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    });
}

} // namespace GuiTest
