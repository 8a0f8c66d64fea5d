#pragma once
// "Formato del examen…": the small dialog of the output window where the
// teacher sets what the header of the exam's documents says (course,
// institution, date, instructions, lines for the DNI and the group), how many
// answer lines follow each exposition question and whether every version
// starts on an odd page. No text is cut: one over the limit the dialog states
// is refused with a message when the dialog is accepted.

#include "ExamFormat.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

class ExamFormatDialog : public QDialog
{
    Q_OBJECT

public:
    ExamFormatDialog(const ExamFormat &format, QWidget *parent);

    // The values as the dialog holds them now.
    ExamFormat format() const;

    // Shows the dialog modally; on "Aceptar" saves the choices for later
    // runs and returns true.
    static bool edit(QWidget *parent);

    void accept() override;

private:
    QFormLayout *m_layout = nullptr;
    QLineEdit *m_course = nullptr;
    QLineEdit *m_institution = nullptr;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_instructions = nullptr;
    QCheckBox *m_dni = nullptr;
    QCheckBox *m_group = nullptr;
    QCheckBox *m_oddPage = nullptr;
    QSpinBox *m_answerLines = nullptr;
};
