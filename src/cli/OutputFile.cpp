#include "OutputFile.h"

#include "BankFile.h"
#include "BankKinds.h"
#include "ExamHistory.h"
#include "FileIdentity.h"

#include <QDir>
#include <QFileInfo>

namespace outputFile {

namespace {

bool sameEntry(const FileIdentity &a, const FileIdentity &b)
{
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

} // namespace

bool isKeptName(const QString &name)
{
    const QString lock = QStringLiteral(".lock");
    if (name.endsWith(lock, Qt::CaseInsensitive) && name.size() > lock.size())
        return isKeptName(name.chopped(lock.size()));
    const auto same = [&name](const QString &kept) {
        return name.compare(kept, Qt::CaseInsensitive) == 0;
    };
    for (const QuestionKind kind : kQuestionKinds)
        if (same(questionKind::bankFileName(kind)))
            return true;
    const QString history = ExamHistory::kFileName;
    const QString base = QFileInfo(history).completeBaseName();
    // The history, the files SQLite keeps beside it, and the copies a
    // damaged history is set aside as ("historial-dañado-<fecha>.sqlite").
    for (const QString &suffix :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (same(BankFile::tempName() + suffix) || same(history + suffix))
            return true;
        if (name.startsWith(base + QStringLiteral("-dañado-"), Qt::CaseInsensitive) &&
            name.endsWith(QStringLiteral(".sqlite") + suffix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString keptFileAt(const QString &folder, const QString &path)
{
    // Where a new file would be made: a link to nothing makes its target.
    QFileInfo made(path);
    if (made.isSymLink() && !made.exists())
        made.setFile(made.symLinkTarget());
    if (sameEntry(FileIdentity::of(made.absolutePath()), FileIdentity::of(folder)) &&
        isKeptName(made.fileName()))
        return made.fileName();
    const FileIdentity output = FileIdentity::of(path);
    if (!output.exists)
        return {};
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (isKeptName(name) && sameEntry(output, FileIdentity::of(dir.filePath(name))))
            return name;
    return {};
}

} // namespace outputFile
