#pragma once
// Answers the next save dialog the program shows, as a user would: it waits
// for the modal QFileDialog, notes what the dialog shows, types a name into
// its name field and presses "Guardar", or presses "Cancelar".

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
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
    QString title;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++m_tries < 500)
                QTimer::singleShot(10, this, [this] { poll(); });
            return;
        }
        dialogName = dialog->objectName();
        title = dialog->windowTitle();
        shownFilters = dialog->nameFilters();
        shownDirectory = dialog->directory().absolutePath();
        auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (!nameField || !buttons)
            return;
        shownName = nameField->text();
        if (m_answer == Answer::Save && !m_typedName.isEmpty()) {
            nameField->selectAll();
            QTest::keyClicks(nameField, m_typedName);
            if (nameField->completer() && nameField->completer()->popup())
                nameField->completer()->popup()->hide();
        }
        const QString caption =
            m_answer == Answer::Save ? QStringLiteral("Guardar") : QStringLiteral("Cancelar");
        for (QAbstractButton *button : buttons->buttons())
            if (button->text() == caption) {
                answered = true;
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
    }

    Answer m_answer = Answer::Cancel;
    QString m_typedName;
    int m_tries = 0;
};
