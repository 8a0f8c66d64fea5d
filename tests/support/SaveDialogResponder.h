#pragma once
// Answers the program's save dialog in GUI tests through its test hook while
// the responder lives: notes what the prepared dialog would show (title,
// filters, options, the name it starts from) and answers as told. A dialog
// that comes up without an answer told is cancelled and counted in
// `unexpected`.

#include "SaveDialog.h"

#include <QFileDialog>
#include <QFileInfo>

class SaveDialogResponder
{
public:
    enum class Answer
    {
        Save,
        Cancel
    };

    SaveDialogResponder()
    {
        SaveDialog::setAnswerForTesting(
            [this](const QFileDialog &dialog) { return answer(dialog); });
    }
    ~SaveDialogResponder() { SaveDialog::setAnswerForTesting({}); }
    SaveDialogResponder(const SaveDialogResponder &) = delete;
    SaveDialogResponder &operator=(const SaveDialogResponder &) = delete;

    // `typedName` empty keeps the name the dialog shows.
    void answerNext(Answer answer, const QString &typedName = QString())
    {
        m_answer = answer;
        m_typedName = typedName;
        m_told = true;
        answered = false;
    }

    bool answered = false;
    int unexpected = 0;
    QString title, shownName, folder; // as the dialog came up
    QStringList shownFilters;
    bool asksBeforeReplacing = true;

private:
    std::optional<QString> answer(const QFileDialog &dialog)
    {
        if (!m_told) {
            ++unexpected;
            return std::nullopt;
        }
        m_told = false;
        answered = true;
        title = dialog.windowTitle();
        shownFilters = dialog.nameFilters();
        // With no name the dialog's selection is its folder.
        const QStringList selected = dialog.selectedFiles();
        const QFileInfo file(selected.value(0));
        shownName =
            selected.isEmpty() || file.absoluteFilePath() == dialog.directory().absolutePath()
                ? QString()
                : file.fileName();
        folder = dialog.directory().absolutePath();
        asksBeforeReplacing = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        if (m_answer == Answer::Cancel)
            return std::nullopt;
        return m_typedName.isEmpty() ? shownName : m_typedName;
    }

    Answer m_answer = Answer::Cancel;
    QString m_typedName;
    bool m_told = false;
};
