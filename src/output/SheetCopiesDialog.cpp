#include "SheetCopiesDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

SheetCopiesDialog::SheetCopiesDialog(int versions, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Copias"));
    setWindowTitle(QStringLiteral("Hojas de respuestas"));
    auto *layout = new QFormLayout(this);
    m_copies = new QSpinBox;
    m_copies->setObjectName(QStringLiteral("TextCopias"));
    m_copies->setRange(1, kMaxCopies);
    layout->addRow(versions > 1 ? QStringLiteral("&Alumnos (hojas de cada versión):")
                                : QStringLiteral("&Alumnos (hojas):"),
                   m_copies);
    if (versions > 1) {
        m_interleaved = new QCheckBox(
            QStringLiteral("&Intercalar las versiones (A, B, C, A, B, C…), en el orden en que se "
                           "reparten"));
        m_interleaved->setObjectName(QStringLiteral("CheckIntercalar"));
        m_interleaved->setChecked(true);
        layout->addRow(QString(), m_interleaved);
    }
    auto *note = new QLabel(QStringLiteral(
        "Cada alumno necesita una hoja propia: no las fotocopie, porque el código de cada hoja es "
        "único y, al corregir, la segunda copia de una hoja se rechaza."));
    note->setObjectName(QStringLiteral("LabelAviso"));
    note->setWordWrap(true);
    layout->addRow(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

SheetCopiesDialog::Choice SheetCopiesDialog::choice() const
{
    return {m_copies->value(), m_interleaved && m_interleaved->isChecked()};
}

std::optional<SheetCopiesDialog::Choice> SheetCopiesDialog::ask(int versions, QWidget *parent)
{
    SheetCopiesDialog dialog(versions, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
