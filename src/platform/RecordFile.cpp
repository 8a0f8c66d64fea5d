#include "RecordFile.h"

#include "OpenFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// Every entry of the name's directory whose name equals the name's last
// component apart from letter case, most recently modified first; on equal
// times the exact spelling comes first, then the names in order, so that the
// choice never depends on the order the directory lists them in.
QFileInfoList caseVariants(const QString &name)
{
    const QFileInfo requested(name);
    const QString wanted = requested.fileName();
    QFileInfoList matches;
    if (wanted.isEmpty())
        return matches;
    const QDir dir = requested.dir();
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().compare(wanted, Qt::CaseInsensitive) == 0)
            matches.append(entry);
    }
    std::sort(matches.begin(), matches.end(), [&wanted](const QFileInfo &a, const QFileInfo &b) {
        const QDateTime ta = a.lastModified();
        const QDateTime tb = b.lastModified();
        if (ta != tb)
            return ta > tb;
        const bool exactA = a.fileName() == wanted;
        const bool exactB = b.fileName() == wanted;
        if (exactA != exactB)
            return exactA;
        return a.fileName() < b.fileName();
    });
    return matches;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

RecordFile::~RecordFile()
{
    close();
}

bool RecordFile::open(const QString &name, int recordLength)
{
    close();
    m_requestedName = name;
    m_recordLength = recordLength;
    m_readOnly = false;
    m_error.clear();
    if (recordLength <= 0) {
        m_error = QStringLiteral("Longitud de registro no válida");
        return false;
    }

    m_file.setFileName(resolve(name));
    // Unbuffered: every read and write goes straight to the file, so two
    // handles on the same file see each other's records.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        const QString readWriteError = m_file.errorString();
        if (!m_file.exists() || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            m_error = readWriteError;
            return false;
        }
        m_readOnly = true;
    }
    OpenFiles::add(this);
    return true;
}

void RecordFile::close()
{
    if (m_file.isOpen())
        m_file.close();
    OpenFiles::remove(this);
}

qint64 RecordFile::size() const
{
    return m_file.isOpen() ? m_file.size() : -1;
}

std::optional<QByteArray> RecordFile::readAll()
{
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("El fichero no está abierto");
        return std::nullopt;
    }
    const qint64 length = m_file.size();
    if (!m_file.seek(0)) {
        m_error = m_file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = m_file.read(length);
    if (bytes.size() != length) {
        m_error = m_file.errorString();
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> RecordFile::readRecord(qint64 n)
{
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("El fichero no está abierto");
        return std::nullopt;
    }
    if (n < 1 || !m_file.seek((n - 1) * m_recordLength)) {
        m_error = m_file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = m_file.read(m_recordLength);
    if (bytes.size() != m_recordLength) {
        m_error = bytes.isNull() ? m_file.errorString() : QStringLiteral("Registro incompleto");
        return std::nullopt;
    }
    return bytes;
}

bool RecordFile::writeRecord(qint64 n, QByteArrayView bytes)
{
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("El fichero no está abierto");
        return false;
    }
    if (m_readOnly) {
        m_error = QStringLiteral("El fichero es de solo lectura");
        return false;
    }
    if (n < 1 || bytes.size() != m_recordLength) {
        m_error = QStringLiteral("Registro no válido");
        return false;
    }
    if (!m_file.seek((n - 1) * m_recordLength)) {
        m_error = m_file.errorString();
        return false;
    }
    const qint64 written = m_file.write(bytes.data(), bytes.size());
    if (written != bytes.size() || !m_file.flush()) {
        m_error = m_file.errorString();
        if (m_error.isEmpty())
            m_error = QStringLiteral("Escritura incompleta");
        return false;
    }
    return true;
}

QString RecordFile::resolve(const QString &name)
{
    const QFileInfoList matches = caseVariants(name);
    return matches.isEmpty() ? name : matches.first().filePath();
}

bool RecordFile::removeFile(const QString &name, QString *error)
{
    const QFileInfoList matches = caseVariants(name);
    for (const QFileInfo &entry : matches) {
        QFile file(entry.filePath());
        if (!file.remove()) {
            setError(error, file.errorString());
            return false;
        }
    }
    return true;
}

bool RecordFile::renameFile(const QString &from, const QString &to, QString *error)
{
    const QFileInfoList sources = caseVariants(from);
    if (sources.isEmpty()) {
        setError(error, QStringLiteral("No existe el fichero %1").arg(from));
        return false;
    }
    const QString source = sources.first().filePath();
    const QString target = QFileInfo(to).dir().filePath(QFileInfo(to).fileName());
    for (const QFileInfo &entry : caseVariants(to)) {
        // Changing only the case of a name is allowed; another file is not replaced.
        if (entry.absoluteFilePath() != sources.first().absoluteFilePath()) {
            setError(error, QStringLiteral("Ya existe el fichero %1").arg(entry.fileName()));
            return false;
        }
    }
    QFile file(source);
    if (!file.rename(target)) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}
