#pragma once
// "Formato del examen…": the small dialog of the output window where the
// teacher sets what the PDF's header says and how many answer lines follow
// each exposition question.

#include "ExamFormat.h"

#include <QDialog>

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

private:
    QLineEdit *m_course = nullptr;
    QLineEdit *m_institution = nullptr;
    QLineEdit *m_date = nullptr;
    QSpinBox *m_answerLines = nullptr;
};
