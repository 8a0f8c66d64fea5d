#pragma once
// A folder the fuzz targets write their input into as a bank file, kept for
// the whole run so that each input costs one file write.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class FuzzFolder
{
public:
    QString path() const { return m_dir.path(); }
    // Replaces the file `name` of the folder with `bytes`.
    bool put(const QString &name, const char *bytes, size_t size)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes, qint64(size)) == qint64(size);
    }

private:
    QTemporaryDir m_dir;
};
