#include "SaveDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

SaveDialog::TestAnswer &testAnswer()
{
    static SaveDialog::TestAnswer answer;
    return answer;
}

// The dialog's own answer, or the test hook's in the same form.
std::optional<QString> answerOf(QFileDialog &dialog)
{
    if (const SaveDialog::TestAnswer &answer = testAnswer()) {
        const std::optional<QString> name = answer(dialog);
        if (!name || name->isEmpty())
            return std::nullopt;
        return dialog.directory().absoluteFilePath(*name);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

bool &userFolders()
{
    static bool on = false;
    return on;
}

const QString kLastFolderKey = QStringLiteral("guardar/ultimaCarpeta");

QSettings userSettings()
{
    return QSettings(QStringLiteral("orvalis"), QStringLiteral("orvalis"));
}

QString startFolder()
{
    if (!userFolders())
        return QDir::currentPath();
    const QString last = userSettings().value(kLastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

void SaveDialog::setUserFolders(bool on)
{
    userFolders() = on;
}

void SaveDialog::setAnswerForTesting(TestAnswer answer)
{
    testAnswer() = std::move(answer);
}

SaveDialog::SaveDialog(const QString &name, QWidget *parent) : m_name(name), m_parent(parent) {}

SaveDialog::~SaveDialog()
{
    delete m_dialog; // null when never built or when the parent went first
}

QFileDialog *SaveDialog::dialog()
{
    if (m_dialog)
        return m_dialog;
    m_dialog = new QFileDialog(m_parent);
    m_dialog->setObjectName(m_name);
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
    if (!m_filter.isEmpty())
        m_dialog->setNameFilter(m_filter);
    m_dialog->setDefaultSuffix(m_defaultSuffix);
    // Not the folder Qt remembers from earlier runs, but the working
    // directory where the bank lies, or the user's own folders.
    m_dialog->setDirectory(startFolder());
    return m_dialog;
}

void SaveDialog::setFilter(const QString &filter)
{
    m_filter = filter;
    if (m_dialog)
        m_dialog->setNameFilter(filter);
}

void SaveDialog::setDefaultSuffix(const QString &suffix)
{
    m_defaultSuffix = suffix;
    if (m_dialog)
        m_dialog->setDefaultSuffix(suffix);
}

std::optional<QString> SaveDialog::showSave()
{
    QFileDialog *shown = dialog();
    if (!m_lastPath.isEmpty())
        shown->selectFile(m_lastPath);
    std::optional<QString> path = answerOf(*shown);
    if (!path)
        return path;
    if (!m_defaultSuffix.isEmpty() && !QFileInfo(*path).fileName().contains(u'.'))
        *path += u'.' + m_defaultSuffix;
    m_lastPath = *path;
    if (userFolders())
        userSettings().setValue(kLastFolderKey, QFileInfo(*path).absolutePath());
    return path;
}
