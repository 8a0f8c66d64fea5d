#pragma once
// A file-save dialog that lives as long as its window and keeps its settings
// between uses, so a second use starts from the name chosen the first time.
// The first use starts with no name, in the working directory unless the
// program keeps the user's folders (below); a name without an extension gets
// the default suffix, and replacing a file is never questioned. The dialog is
// Qt's own (not the desktop's), the same on every desktop. It is built on
// first use: Qt's dialog keeps a settings file of its own, which a window that
// never saves has no reason to touch. Tests answer it through a hook instead
// of the teacher.

#include <QFileDialog>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class SaveDialog
{
public:
    // The dialog's object name is `name`; it is a child of `parent`.
    SaveDialog(const QString &name, QWidget *parent);
    ~SaveDialog();
    SaveDialog(const SaveDialog &) = delete;
    SaveDialog &operator=(const SaveDialog &) = delete;

    // One entry in Qt's form, e.g. "Texto (*.TXT)".
    void setFilter(const QString &filter);
    // Added, after a dot, to a chosen name that has no extension.
    void setDefaultSuffix(const QString &suffix);

    // Program-wide: off (the default), a dialog starts in the working
    // directory. On (a bank kept in a hidden folder of its own), it starts in
    // the user's documents folder the first time and afterwards in the
    // folder of the last file chosen, remembered per user between runs.
    static void setUserFolders(bool on);
    // Shows the dialog modally; the chosen full path, or nothing on cancel.
    std::optional<QString> showSave();

    // The dialog itself, built if it was not yet.
    QFileDialog *dialog();

    // While set, showSave() prepares the dialog exactly as for the teacher
    // but, instead of showing it, hands it to the hook, which answers with a
    // file name (taken relative to the dialog's folder) or nothing (Cancel).
    // An empty hook restores the real dialog.
    using TestAnswer = std::function<std::optional<QString>(const QFileDialog &)>;
    static void setAnswerForTesting(TestAnswer answer);

private:
    QString m_name;
    QPointer<QWidget> m_parent;
    QString m_filter;
    QString m_defaultSuffix;
    QPointer<QFileDialog> m_dialog;
    QString m_lastPath;
};
