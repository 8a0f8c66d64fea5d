#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

bool MessageBox::show(const QString &text, Buttons buttons, QWidget *parent)
{
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("OrvalisMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton *ok = box.addButton(kOkText, QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if (buttons == Buttons::OkCancel)
        cancel = box.addButton(kCancelText, QMessageBox::RejectRole);
    // A reflex Enter must not throw work away: a question defaults to Cancel.
    box.setDefaultButton(cancel ? cancel : ok);
    // The box gives the focus to its first button on showing, and a focused
    // button becomes the default one: the focus goes to Cancel once shown.
    if (cancel)
        QTimer::singleShot(0, cancel, [cancel] { cancel->setFocus(Qt::OtherFocusReason); });
    box.setEscapeButton(cancel ? cancel : ok);
    const QPointer<QWidget> owner = parent;
    // A box asked while another window is taking over (a leave question on
    // deactivation) must not pull the keyboard back to its owner afterwards.
    const bool ownerWasActive = owner && owner->window() == QApplication::activeWindow();
    box.exec();
    // The keyboard goes back to the window the box was shown over, unless
    // the window system has activated another one meanwhile.
    const QWidget *active = QApplication::activeWindow();
    if (ownerWasActive && owner && owner->isVisible() && (!active || active == &box))
        owner->window()->activateWindow();
    return cancel && box.clickedButton() == cancel;
}

void MessageBox::inform(const QString &text, QWidget *parent)
{
    show(text, Buttons::Ok, parent);
}

bool MessageBox::askCancelled(const QString &text, QWidget *parent)
{
    return show(text, Buttons::OkCancel, parent);
}
