#pragma once
// The buttons of the working windows and the output window show a colour of
// their own, not the system's button colour, and the help button shows the
// help picture on grey. Both are plain push buttons named after their control.

#include <QColor>
#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace ColouredButton {

// A button with its caption on `colour`, a visible focus frame and a darker
// shade while pressed; `padding` in pixels around the caption. Space and Enter
// press it when it has the focus.
QPushButton *create(QWidget *parent, const QString &name, const QString &caption,
                    const QColor &colour, const QRect &geometry, int padding = 2);

// A grey button showing the help picture, with the tool tip "Ayuda" and
// the same accessible name.
QPushButton *createHelp(QWidget *parent, const QString &name, const QRect &geometry);
// Whether `button` was made by createHelp (the F1 key presses it).
bool isHelpButton(const QPushButton *button);

} // namespace ColouredButton
