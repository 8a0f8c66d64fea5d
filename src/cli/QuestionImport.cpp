#include "QuestionImport.h"

#include "ExpositionBank.h"
#include "TrueFalseBank.h"

#include <QFile>
#include <QFileInfo>

namespace questionImport {

namespace {
// An addition goes at the end whatever another program did meanwhile; when
// it changed the file, the bank has been reloaded and the addition is made
// again on the new file. Bounded, so that a busy bank ends the import with
// a reason instead of holding it.
constexpr int kAttempts = 5;

template <typename Append> BankResult<qint32> appendAgainAfterChanges(const Append &append)
{
    BankResult<qint32> added = append();
    for (int attempt = 1;
         attempt < kAttempts && !added && added.error().code == BankErrorCode::ChangedElsewhere;
         ++attempt)
        added = append();
    return added;
}
} // namespace

std::optional<QByteArray> readSource(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("%1 no existe").arg(path);
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("%1 no es un fichero normal").arg(path);
        return std::nullopt;
    }
    if (info.size() > kMaxSourceLength) {
        *error = QStringLiteral("%1 ocupa %2 bytes, demasiado para un fichero de preguntas")
                     .arg(path)
                     .arg(info.size());
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no se puede abrir %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("no se puede leer %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return content;
}

DemoSource check(const QString &path, QByteArrayView content, const BankSnapshot &bank)
{
    return DemoSource::parse(bank.kind(), path, content, bank.held());
}

// Kept to this one function, so that the whole import can become a single
// replacement of the bank file without touching its callers.
WriteResult write(const QString &folder, DemoSourceKind kind, const QList<DemoQuestion> &questions)
{
    WriteResult result;
    const auto appended = [&result](const BankResult<qint32> &added) {
        if (!added) {
            result.error = added.error();
            return false;
        }
        if (result.written == 0)
            result.firstRecord = *added;
        ++result.written;
        return true;
    };

    if (kind == DemoSourceKind::TrueFalse) {
        TrueFalseBank bank(folder);
        if (result.error = bank.openBank(); !result.ok())
            return result;
        for (const DemoQuestion &question : questions) {
            const TrueFalseRecord record{question.chapter, question.topic, question.text,
                                         question.answer};
            if (!appended(appendAgainAfterChanges([&] { return bank.appendRecord(record); })))
                break;
        }
        bank.closeBank();
        return result;
    }

    ExpositionBank bank(folder);
    if (result.error = bank.openBank(DemoSource::expositionKind(kind)); !result.ok())
        return result;
    for (const DemoQuestion &question : questions) {
        if (!appended(appendAgainAfterChanges(
                [&] { return bank.appendRecord(question.chapter, question.text); })))
            break;
    }
    bank.closeBank();
    return result;
}

} // namespace questionImport
