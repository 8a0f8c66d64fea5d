#pragma once
// A file-save dialog that lives as long as its window and keeps its settings
// between uses, so a second use starts from the name chosen the first time.
// It sets no default name, extension or folder and never asks before
// replacing a file. The dialog is Qt's own (not the desktop's), so tests can
// find it as the active modal widget and answer it.

#include <QFileDialog>
#include <QPointer>
#include <QString>

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
    // Shows the dialog modally; the chosen full path, or nothing on cancel.
    std::optional<QString> showSave();

    QFileDialog *dialog() const { return m_dialog; }

private:
    QPointer<QFileDialog> m_dialog;
    QString m_lastPath;
};
