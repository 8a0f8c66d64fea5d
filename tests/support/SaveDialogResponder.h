#pragma once
// Answers the program's save dialog through its test hook while it lives:
// with `name`, or cancels when it is unset; `folder` is where it last started,
// `filters` what it offered.
#include "SaveDialog.h"

struct SaveDialogResponder
{
    SaveDialogResponder()
    {
        SaveDialog::setAnswerForTesting([this](const QFileDialog &dialog) {
            folder = dialog.directory().absolutePath();
            filters = dialog.nameFilters();
            return name;
        });
    }
    ~SaveDialogResponder() { SaveDialog::setAnswerForTesting({}); }
    std::optional<QString> name;
    QString folder;
    QStringList filters;
};
