#include "OpenFiles.h"

#include "RecordFile.h"

#include <QList>

namespace {
QList<RecordFile *> &registry()
{
    static QList<RecordFile *> files;
    return files;
}
} // namespace

void OpenFiles::closeAllFiles()
{
    // close() takes each file out of the registry, so work on a copy.
    const QList<RecordFile *> files = registry();
    for (RecordFile *file : files)
        file->close();
    registry().clear();
}

qsizetype OpenFiles::count()
{
    return registry().size();
}

void OpenFiles::add(RecordFile *file)
{
    if (!registry().contains(file))
        registry().append(file);
}

void OpenFiles::remove(RecordFile *file)
{
    registry().removeAll(file);
}

void closeAllFiles()
{
    OpenFiles::closeAllFiles();
}
