#pragma once
// Answers the next save dialog: notes what it shows, puts the whole name in at
// once (typed key by key a folder prefix can turn the button into "Open") and
// presses the button directly, retrying until the dialog has gone.

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

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
    QString title, shownName; // as the dialog came up
    QStringList shownFilters;

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
            title = dialog->windowTitle();
            shownFilters = dialog->nameFilters();
            shownName = nameField->text();
            if (m_answer == Answer::Save && !m_typedName.isEmpty())
                nameField->setText(m_typedName);
        }
        // Clicked directly so that an open completion list cannot swallow it.
        const QString caption =
            m_answer == Answer::Save ? QStringLiteral("Guardar") : QStringLiteral("Cancelar");
        for (QAbstractButton *button : buttons->buttons())
            if (button->text() == caption) {
                answered = true;
                button->click();
                break;
            }
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
