#pragma once
// Answers the next save dialog the program shows, as a user would: it waits
// for the modal QFileDialog, notes what the dialog shows, puts a name into
// its name field and presses "Guardar", or presses "Cancelar". The name goes
// in whole, as if pasted: typed key by key, a name that starts with a folder
// ("examenes/parcial.TXT") passes through the bare folder name, and Qt may
// leave the button captioned "Open" from that moment on.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class SaveDialogResponder : public QObject
{
public:
    enum class Answer
    {
        Save,
        Cancel
    };

    // `typedName` empty keeps the name the dialog shows.
    void answerNext(Answer answer, const QString &typedName = QString())
    {
        m_answer = answer;
        m_typedName = typedName;
        answered = false;
        m_tries = 0;
        QTimer::singleShot(10, this, [this] { poll(); });
    }

    bool answered = false;
    QString dialogName;     // the dialog's object name
    QString shownName;      // the name field's text when the dialog came up
    QString shownDirectory; // the folder it showed
    QStringList shownFilters;
    QStringList shownButtons; // button captions when the dialog came up
    QString title;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (!answered && ++m_tries < 1000)
                QTimer::singleShot(10, this, [this] { poll(); });
            return;
        }
        auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (!nameField || !buttons)
            return;
        if (!answered) {
            dialogName = dialog->objectName();
            title = dialog->windowTitle();
            shownFilters = dialog->nameFilters();
            shownDirectory = dialog->directory().absolutePath();
            shownName = nameField->text();
            shownButtons.clear();
            for (QAbstractButton *button : buttons->buttons())
                shownButtons.append(button->text());
            if (m_answer == Answer::Save && !m_typedName.isEmpty()) {
                nameField->setText(m_typedName);
            }
        }
        // The name field's completion list may be open over the buttons; the
        // button is pressed directly so that the list cannot swallow a click.
        const QString caption =
            m_answer == Answer::Save ? QStringLiteral("Guardar") : QStringLiteral("Cancelar");
        for (QAbstractButton *button : buttons->buttons())
            if (button->text() == caption) {
                answered = true;
                button->click();
                break;
            }
        // Until the dialog has gone, try again.
        if (++m_tries < 1000)
            QTimer::singleShot(50, this, [this, dialog = QPointer<QFileDialog>(dialog)] {
                if (dialog && dialog->isVisible())
                    poll();
            });
    }

    Answer m_answer = Answer::Cancel;
    QString m_typedName;
    int m_tries = 0;
};
