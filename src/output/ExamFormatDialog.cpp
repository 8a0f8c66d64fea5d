#include "ExamFormatDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QLineEdit *addField(QFormLayout *layout, const QString &name, const QString &label,
                    const QString &value)
{
    auto *field = new QLineEdit(value);
    field->setObjectName(name);
    field->setMaxLength(120);
    layout->addRow(label, field);
    return field;
}

} // namespace

ExamFormatDialog::ExamFormatDialog(const ExamFormat &format, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormatoExamen"));
    setWindowTitle(QStringLiteral("Formato del examen"));
    auto *layout = new QFormLayout(this);
    m_course =
        addField(layout, QStringLiteral("Curso"), QStringLiteral("&Asignatura:"), format.course);
    m_institution = addField(layout, QStringLiteral("Centro"),
                             QStringLiteral("&Centro (opcional):"), format.institution);
    m_date = addField(layout, QStringLiteral("Fecha"),
                      QStringLiteral("&Fecha (vacía: a rellenar):"), format.date);
    m_answerLines = new QSpinBox;
    m_answerLines->setObjectName(QStringLiteral("LineasRespuesta"));
    m_answerLines->setRange(0, ExamFormat::kMaxAnswerLines);
    m_answerLines->setValue(format.answerLines);
    layout->addRow(QStringLiteral("&Líneas de respuesta por pregunta de exposición:"),
                   m_answerLines);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

ExamFormat ExamFormatDialog::format() const
{
    ExamFormat format;
    // A course left blank keeps the default rather than a title with a gap.
    if (const QString course = m_course->text().trimmed(); !course.isEmpty())
        format.course = course;
    format.institution = m_institution->text().trimmed();
    format.date = m_date->text().trimmed();
    format.answerLines = m_answerLines->value();
    return format;
}

bool ExamFormatDialog::edit(QWidget *parent)
{
    ExamFormatDialog dialog(ExamFormat::load(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.format().save();
    return true;
}
