#include "OutputFile.h"

#include "BankKinds.h"
#include "FileIdentity.h"
#include "RecordFile.h"

#include <QDir>
#include <QFileInfo>

namespace outputFile {

namespace {

bool sameEntry(const FileIdentity &a, const FileIdentity &b)
{
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

} // namespace

QString bankFileAt(const QString &folder, const QString &path)
{
    // Where a new file would be made: a link to nothing makes its target.
    QFileInfo made(path);
    if (made.isSymLink() && !made.exists())
        made.setFile(made.symLinkTarget());
    const FileIdentity output = FileIdentity::of(path);
    const bool inFolder =
        sameEntry(FileIdentity::of(made.absolutePath()), FileIdentity::of(folder));
    for (const QuestionKind kind : kQuestionKinds) {
        const QString name = questionKind::bankFileName(kind);
        if (inFolder && made.fileName().compare(name, Qt::CaseInsensitive) == 0)
            return name;
        for (const QFileInfo &variant : RecordFile::caseVariants(QDir(folder).filePath(name)))
            if (sameEntry(output, FileIdentity::of(variant.filePath())))
                return name;
    }
    return {};
}

} // namespace outputFile
