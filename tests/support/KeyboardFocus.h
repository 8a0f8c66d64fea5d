#pragma once
// Keyboard driving for the GUI tests: which control has the focus (a grid
// stands for the table inside it), a key pressed where the focus is, and Tab
// or Shift+Tab pressed until a named control has the focus.

#include "FlexGrid.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace KeyboardFocus {

inline QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return QString();
    if (auto *inGrid = qobject_cast<FlexGrid *>(focus->parentWidget()))
        return inGrid->objectName();
    return focus->objectName();
}

// Shift+Tab is Key_Backtab with Shift held, as a keyboard sends it.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (key == Qt::Key_Backtab)
        modifiers |= Qt::ShiftModifier;
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Presses Tab (or Shift+Tab) until `name` has the focus, within a round of
// a window's controls; the name of the control reached.
inline QString tabTo(const QString &name, Qt::Key tab = Qt::Key_Tab)
{
    for (int i = 0; i < 20 && focusName() != name; ++i)
        press(tab);
    return focusName();
}

} // namespace KeyboardFocus
