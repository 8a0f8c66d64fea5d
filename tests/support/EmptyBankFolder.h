#pragma once
// An empty temporary folder that is the working directory while it lives,
// for the GUI tests that write the bank files each of them needs, and the
// base of the fixtures that write a bank into it.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class EmptyBankFolder
{
public:
    EmptyBankFolder() : m_previous(QDir::currentPath())
    {
        m_ready = m_dir.isValid() && QDir::setCurrent(m_dir.path());
    }
    ~EmptyBankFolder() { QDir::setCurrent(m_previous); }

    bool isReady() const { return m_ready; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

protected:
    // Writes the file and keeps the folder ready only if it was written whole.
    void write(const char *name, const QByteArray &bytes)
    {
        QFile file(filePath(QLatin1String(name)));
        m_ready = m_ready && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};
