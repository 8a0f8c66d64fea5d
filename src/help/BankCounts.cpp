#include "BankCounts.h"

#include "ExpositionKind.h"
#include "RecordFile.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QFileInfo>

qint64 countWholeRecords(const QString &directory, const QString &name, int recordLength,
                         const QString &rewriteName)
{
    if (recordLength <= 0)
        return 0;
    const QString path = directory.isEmpty() ? name : QDir(directory).filePath(name);
    // Only the length is asked for: a folder, a pipe or a device under the
    // name counts nothing and is never opened, so counting cannot block.
    const QFileInfo file(RecordFile::resolve(path, rewriteName));
    if (!file.exists() || !file.isFile())
        return 0;
    return file.size() / recordLength;
}

BankCounts countBankRecords(const QString &directory)
{
    const auto exposition = [&directory](ExpositionKind kind) {
        const ExpositionKindInfo &info = expositionKindInfo(kind);
        return countWholeRecords(directory, info.loadName, info.recordLength, info.rewriteName);
    };
    BankCounts counts;
    counts.conceptual = exposition(ExpositionKind::Conceptual);
    counts.practical = exposition(ExpositionKind::Practical);
    counts.brief = exposition(ExpositionKind::Brief);
    counts.trueFalse =
        countWholeRecords(directory, TrueFalseBank::loadName(), TrueFalseBank::kRecordLength,
                          TrueFalseBank::rewriteName());
    return counts;
}
