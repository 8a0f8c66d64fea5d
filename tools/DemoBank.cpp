#include "DemoBank.h"

#include "ExpositionBank.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString refused(const DemoSource &source, const DemoQuestion &question, const BankError &error)
{
    return DemoSourceProblem{source.path(), question.line,
                             QStringLiteral("the bank refused the question: %1").arg(error.message)}
        .toString();
}

} // namespace

DemoBank DemoBank::read(const QString &directory)
{
    const QDir dir(directory);
    auto readKind = [&dir](QuestionKind kind) {
        return DemoSource::read(kind, dir.filePath(DemoSource::fileName(kind)));
    };
    return DemoBank({readKind(kQuestionKinds[0]), readKind(kQuestionKinds[1]),
                     readKind(kQuestionKinds[2]), readKind(kQuestionKinds[3])});
}

const DemoSource &DemoBank::source(QuestionKind kind) const
{
    return m_sources[static_cast<size_t>(kind)];
}

QList<DemoSourceProblem> DemoBank::problems() const
{
    QList<DemoSourceProblem> all;
    for (const DemoSource &source : m_sources)
        all.append(source.problems());
    return all;
}

QString DemoBank::write(const QString &outputDirectory) const
{
    if (!ok())
        return QStringLiteral("%1 source lines do not fit the bank").arg(problems().size());

    const QFileInfo output(QDir::cleanPath(QFileInfo(outputDirectory).absoluteFilePath()));
    const QString target = output.absoluteFilePath();
    if (!QDir().mkpath(output.absolutePath()))
        return QStringLiteral("cannot create %1").arg(output.absolutePath());

    // Built beside the target so that putting it in place is a rename on the
    // same file system.
    QTemporaryDir fresh(target + QStringLiteral(".new-XXXXXX"));
    if (!fresh.isValid())
        return QStringLiteral("cannot create a folder beside %1: %2")
            .arg(target, fresh.errorString());
    if (QString error = writeFiles(fresh.path()); !error.isEmpty())
        return error;
    if (QString error = checkFiles(fresh.path()); !error.isEmpty())
        return error;

    const QString previous = target + QStringLiteral(".old");
    QDir(previous).removeRecursively();
    const bool hadPrevious = QFileInfo::exists(target);
    if (hadPrevious && !QDir().rename(target, previous))
        return QStringLiteral("cannot move the previous %1 aside").arg(target);
    if (!QDir().rename(fresh.path(), target)) {
        if (hadPrevious)
            QDir().rename(previous, target);
        return QStringLiteral("cannot move the new bank files into %1").arg(target);
    }
    fresh.setAutoRemove(false);
    // A temporary folder is private to its owner; the bank folder is not.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    if (hadPrevious)
        QDir(previous).removeRecursively();
    return {};
}

QString DemoBank::writeFiles(const QString &directory) const
{
    const DemoSource &trueFalse = source(QuestionKind::TrueFalse);
    TrueFalseBank bank(directory);
    if (BankError error = bank.openBank(); !error.ok())
        return error.message;
    for (const DemoQuestion &question : trueFalse.questions()) {
        const TrueFalseRecord record{question.chapter, question.topic, question.text,
                                     question.answer};
        if (const BankResult<qint32> added = bank.appendRecord(record); !added)
            return refused(trueFalse, question, added.error());
    }
    bank.closeBank();

    for (const QuestionKind kind : kQuestionKinds) {
        if (kind == QuestionKind::TrueFalse)
            continue;
        const DemoSource &exposition = source(kind);
        ExpositionBank expositionBank(directory);
        if (BankError error = expositionBank.openBank(questionKind::expositionKind(kind));
            !error.ok())
            return error.message;
        for (const DemoQuestion &question : exposition.questions()) {
            if (const BankResult<qint32> added =
                    expositionBank.appendRecord(question.chapter, question.text);
                !added)
                return refused(exposition, question, added.error());
        }
        expositionBank.closeBank();
    }
    return {};
}

// Opens the new files as a window would and checks that every question is
// there and listed, before they replace anything.
QString DemoBank::checkFiles(const QString &directory) const
{
    auto mismatch = [](const QString &file, qint32 records, qsizetype expected,
                       const LeftOutRecords &leftOut) -> QString {
        if (records == expected && leftOut.isEmpty())
            return {};
        return QStringLiteral("%1 holds %2 records (%3 left out of the index) instead of %4")
            .arg(file)
            .arg(records)
            .arg(leftOut.total())
            .arg(expected);
    };

    TrueFalseBank bank(directory);
    if (BankError error = bank.openBank(); !error.ok())
        return error.message;
    QString error = mismatch(TrueFalseBank::loadName(), bank.recordCount(),
                             source(QuestionKind::TrueFalse).questions().size(), bank.leftOut());
    bank.closeBank();
    if (!error.isEmpty())
        return error;

    for (const QuestionKind kind : kQuestionKinds) {
        if (kind == QuestionKind::TrueFalse)
            continue;
        const ExpositionKind expositionKind = questionKind::expositionKind(kind);
        ExpositionBank expositionBank(directory);
        if (BankError openError = expositionBank.openBank(expositionKind); !openError.ok())
            return openError.message;
        error = mismatch(expositionKindInfo(expositionKind).loadName, expositionBank.recordCount(),
                         source(kind).questions().size(), expositionBank.leftOut());
        expositionBank.closeBank();
        if (!error.isEmpty())
            return error;
    }
    return {};
}
