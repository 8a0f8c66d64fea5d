#include "SaveDialog.h"

#include <QFileDialog>

SaveDialog::SaveDialog(const QString &name, QWidget *parent) : m_dialog(new QFileDialog(parent))
{
    m_dialog->setObjectName(name);
    m_dialog->setWindowTitle(QStringLiteral("Guardar como"));
    m_dialog->setOption(QFileDialog::DontUseNativeDialog);
    m_dialog->setOption(QFileDialog::DontConfirmOverwrite);
    m_dialog->setAcceptMode(QFileDialog::AcceptSave);
    m_dialog->setFileMode(QFileDialog::AnyFile);
    m_dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("Guardar en:"));
    m_dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Nombre de archivo:"));
    m_dialog->setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    m_dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Guardar"));
    m_dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
}

SaveDialog::~SaveDialog()
{
    delete m_dialog; // null when the parent went first
}

void SaveDialog::setFilter(const QString &filter)
{
    m_dialog->setNameFilter(filter);
}

std::optional<QString> SaveDialog::showSave()
{
    if (!m_lastPath.isEmpty())
        m_dialog->selectFile(m_lastPath);
    if (m_dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = m_dialog->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    m_lastPath = files.first();
    return m_lastPath;
}
