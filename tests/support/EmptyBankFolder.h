#pragma once
// An empty temporary folder that is the working directory while it lives,
// for the GUI tests that write the bank files each of them needs.

#include <QDir>
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

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};
