#include "ExamFormatDialog.h"

#include "MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Wide enough to see most of what a long title says as it is typed.
constexpr int kFieldCharacters = 70;

const QString kLimitNote =
    QStringLiteral("Cada texto admite hasta %1 caracteres; si no cabe en una línea, el examen "
                   "lo continúa en la siguiente.")
        .arg(ExamFormat::kMaxTextLength);
const QString kTooLong =
    QStringLiteral("«%1» tiene %2 caracteres y admite hasta %3. Acórtelo; no se ha cambiado nada.");

QLineEdit *addField(QFormLayout *layout, const QString &name, const QString &label,
                    const QString &value)
{
    auto *field = new QLineEdit(value);
    field->setObjectName(name);
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kFieldCharacters);
    layout->addRow(label, field);
    return field;
}

QCheckBox *addCheck(QFormLayout *layout, const QString &name, const QString &caption, bool value)
{
    auto *check = new QCheckBox(caption);
    check->setObjectName(name);
    check->setChecked(value);
    layout->addRow(QString(), check);
    return check;
}

// The label's caption without its access key mark or colon, to name it.
QString fieldName(const QFormLayout *layout, QWidget *field)
{
    const auto *label = qobject_cast<QLabel *>(layout->labelForField(field));
    return label ? label->text().remove(u'&').section(u':', 0, 0) : QString();
}

} // namespace

ExamFormatDialog::ExamFormatDialog(const ExamFormat &format, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormatoExamen"));
    setWindowTitle(QStringLiteral("Formato del examen"));
    m_layout = new QFormLayout(this);
    m_course =
        addField(m_layout, QStringLiteral("Curso"), QStringLiteral("&Asignatura:"), format.course);
    m_institution = addField(m_layout, QStringLiteral("Centro"),
                             QStringLiteral("&Centro (opcional):"), format.institution);
    m_date = addField(m_layout, QStringLiteral("Fecha"),
                      QStringLiteral("&Fecha (vacía: a rellenar):"), format.date);
    m_instructions = addField(m_layout, QStringLiteral("Instrucciones"),
                              QStringLiteral("&Instrucciones (opcional):"), format.instructions);
    m_instructions->setPlaceholderText(QStringLiteral(
        "Por ejemplo: Cada acierto suma 1 punto y cada error resta 1 punto; en blanco, 0."));
    auto *note = new QLabel(kLimitNote);
    note->setWordWrap(true);
    m_layout->addRow(QString(), note);
    m_dni = addCheck(m_layout, QStringLiteral("LineaDni"), QStringLiteral("Línea para el &DNI"),
                     format.dniLine);
    m_group = addCheck(m_layout, QStringLiteral("LineaGrupo"),
                       QStringLiteral("Línea para el &grupo"), format.groupLine);
    m_oddPage =
        addCheck(m_layout, QStringLiteral("PaginaImpar"),
                 QStringLiteral("Cada &versión empieza en página impar"), format.oddPageStarts);
    m_answerLines = new QSpinBox;
    m_answerLines->setObjectName(QStringLiteral("LineasRespuesta"));
    m_answerLines->setRange(0, ExamFormat::kMaxAnswerLines);
    m_answerLines->setValue(format.answerLines);
    m_layout->addRow(QStringLiteral("&Líneas de respuesta por pregunta de exposición:"),
                     m_answerLines);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ExamFormatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_layout->addRow(buttons);
}

// A text over the limit is never cut: the teacher is told and shortens it.
void ExamFormatDialog::accept()
{
    for (QLineEdit *field : {m_course, m_institution, m_date, m_instructions}) {
        const qsizetype length = field->text().trimmed().size();
        if (length > ExamFormat::kMaxTextLength) {
            MessageBox::inform(kTooLong.arg(fieldName(m_layout, field))
                                   .arg(length)
                                   .arg(ExamFormat::kMaxTextLength),
                               this);
            field->setFocus();
            return;
        }
    }
    QDialog::accept();
}

ExamFormat ExamFormatDialog::format() const
{
    ExamFormat format;
    // A course left blank keeps the default rather than a title with a gap.
    if (const QString course = m_course->text().trimmed(); !course.isEmpty())
        format.course = course;
    format.institution = m_institution->text().trimmed();
    format.date = m_date->text().trimmed();
    format.instructions = m_instructions->text().trimmed();
    format.dniLine = m_dni->isChecked();
    format.groupLine = m_group->isChecked();
    format.oddPageStarts = m_oddPage->isChecked();
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
