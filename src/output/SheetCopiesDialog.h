#pragma once
// "Hojas de respuestas": the small dialog of the output window that asks how
// many students will answer (the sheets printed of each version) and, with
// more than one version, whether the versions come interleaved, A, B, C, A,
// B, C…, the order in which a class is handed them. Every sheet's code is
// unique, so each student needs a sheet printed for them: the dialog says so,
// since a photocopy of a sheet already read is refused when marking.

#include <QDialog>

#include <optional>

class QCheckBox;
class QSpinBox;

class SheetCopiesDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxCopies = 500;

    struct Choice
    {
        int copies = 1;
        bool interleaved = false;
    };

    SheetCopiesDialog(int versions, QWidget *parent);

    Choice choice() const;

    // Shows the dialog modally; nullopt when the teacher cancels it.
    static std::optional<Choice> ask(int versions, QWidget *parent);

private:
    QSpinBox *m_copies = nullptr;
    QCheckBox *m_interleaved = nullptr; // only with more than one version
};
