#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
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
