#include "QuestionImport.h"

#include "BankKinds.h"
#include "ExpositionBank.h"
#include "QuestionSearch.h"
#include "RecordFile.h"
#include "SystemError.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace questionImport {

namespace {

// The questions the open bank holds: every whole record's text, and how many
// the index lists under each chapter (and topic).
BankResult<HeldQuestions> heldIn(TrueFalseBank &bank)
{
    HeldQuestions held;
    held.setRecordCount(bank.recordCount());
    for (qint32 n = 1; n <= bank.recordCount(); ++n) {
        const BankResult<TrueFalseRecord> record = bank.readRecord(n);
        if (!record)
            return record.error();
        held.addText(record->chapter, record->topic, TrueFalseBank::displayText(*record), n);
    }
    for (int chapter = 1; chapter <= TrueFalseBank::kChapters; ++chapter) {
        for (int topic = 1; topic <= TrueFalseBank::kTopics; ++topic)
            held.setListed(chapter, topic, bank.index().count(chapter, topic));
    }
    return held;
}

BankResult<HeldQuestions> heldIn(ExpositionBank &bank)
{
    HeldQuestions held;
    held.setRecordCount(bank.recordCount());
    for (qint32 n = 1; n <= bank.recordCount(); ++n) {
        const BankResult<ExpositionRecord> record = bank.readRecord(n);
        if (!record)
            return record.error();
        held.addText(record->chapter, 0, ExpositionBank::displayText(record->text), n);
    }
    for (int chapter = 1; chapter <= ExpositionBank::kChapters; ++chapter)
        held.setListed(chapter, 0, bank.index().count(chapter));
    return held;
}

// Runs `work` on the kind's bank in `folder`, opened (and created when
// missing), and closes it.
template <typename Work> auto withBank(const QString &folder, QuestionKind kind, const Work &work)
{
    if (kind == QuestionKind::TrueFalse) {
        TrueFalseBank bank(folder);
        const BankError opened = bank.openBank();
        auto result = work(bank, opened);
        bank.closeBank();
        return result;
    }
    ExpositionBank bank(folder);
    const BankError opened = bank.openBank(questionKind::expositionKind(kind));
    auto result = work(bank, opened);
    bank.closeBank();
    return result;
}

TrueFalseRecord recordOf(const TrueFalseBank &, const DemoQuestion &question)
{
    return {question.chapter, question.topic, question.text, question.answer};
}

ExpositionRecord recordOf(const ExpositionBank &, const DemoQuestion &question)
{
    return {question.chapter, question.text};
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
    // Read with the system's calls so that a failure gives its reason from
    // the Spanish table, as every other file of the program does.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("no se puede abrir %1: %2").arg(path, systemErrorText(errno));
        return std::nullopt;
    }
    QByteArray content(info.size(), Qt::Uninitialized);
    qint64 done = 0;
    const int failure = readFully(fd, content.data(), content.size(), 0, &done);
    ::close(fd);
    if (failure != 0) {
        *error = QStringLiteral("no se puede leer %1: %2").arg(path, systemErrorText(failure));
        return std::nullopt;
    }
    content.truncate(done);
    return content;
}

BankResult<BankState> readBank(const QString &folder, QuestionKind kind)
{
    BankState state;
    state.fileName = questionKind::bankFileName(kind);
    // Opening would create it: a check writes nothing.
    if (!QFileInfo::exists(RecordFile::resolve(QDir(folder).filePath(state.fileName))))
        return state;
    return withBank(folder, kind,
                    [&](auto &bank, const BankError &opened) -> BankResult<BankState> {
                        if (!opened.ok())
                            return opened;
                        BankResult<HeldQuestions> held = heldIn(bank);
                        if (!held)
                            return held.error();
                        state.fileName = QFileInfo(bank.filePath()).fileName();
                        state.records = bank.recordCount();
                        state.trailingBytes = bank.trailingBytes();
                        state.held = *held;
                        return state;
                    });
}

WriteResult write(const QString &folder, QuestionKind kind, const QString &path,
                  const QList<DemoQuestion> &questions, bool strict)
{
    return withBank(folder, kind, [&](auto &bank, const BankError &opened) {
        WriteResult result;
        if (result.error = opened; !result.ok())
            return result;
        using Record = decltype(recordOf(bank, DemoQuestion()));
        const auto additions = [&]() -> BankResult<QList<Record>> {
            const BankResult<HeldQuestions> held = heldIn(bank);
            if (!held)
                return held.error();
            const DemoSource lines = DemoSource::check(kind, path, questions, *held);
            result.problems =
                lines.ok() && strict ? nearDuplicateLines(lines, *held) : lines.problems();
            if (!result.problems.isEmpty())
                return BankError{BankErrorCode::Refused, {}, {}};
            QList<Record> records;
            for (const DemoQuestion &question : lines.questions())
                records.append(recordOf(bank, question));
            result.written = int(records.size());
            return records;
        };
        const BankResult<qint32> first = bank.appendRecords(additions);
        result.fileName = QFileInfo(bank.filePath()).fileName();
        if (!first) {
            result.written = 0;
            result.error = first.error();
            return result;
        }
        result.firstRecord = *first;
        return result;
    });
}

namespace {

void sortByLine(QList<DemoSourceProblem> &problems)
{
    std::stable_sort(
        problems.begin(), problems.end(),
        [](const DemoSourceProblem &a, const DemoSourceProblem &b) { return a.line < b.line; });
}

} // namespace

Plan planText(const QString &folder, QuestionKind kind, const QString &path, QByteArrayView content)
{
    Plan plan;
    const BankResult<BankState> bank = readBank(folder, kind);
    if (!bank) {
        plan.error = bank.error();
        return plan;
    }
    const DemoSource lines = DemoSource::parse(kind, path, content, bank->held);
    plan.problems = lines.problems();
    if (lines.ok())
        plan.nearDuplicates = nearDuplicateLines(lines, bank->held);
    plan.parts.append({kind, *bank, lines.questions()});
    return plan;
}

Plan planFile(const QString &folder, const ImportedFile &file)
{
    Plan plan;
    plan.problems = file.problems();
    const QList<QuestionKind> kinds = file.kinds();
    for (const QuestionKind kind : kinds) {
        const BankResult<BankState> bank = readBank(folder, kind);
        if (!bank) {
            plan.error = bank.error();
            return plan;
        }
        Part part{kind, *bank, file.questions(kind)};
        part.alreadyIn =
            kinds.size() > 1 &&
            std::all_of(
                part.questions.cbegin(), part.questions.cend(), [&](const DemoQuestion &question) {
                    return bank->held.recordOf(question.chapter, question.topic, question.text) > 0;
                });
        if (!part.alreadyIn) {
            const DemoSource checked =
                DemoSource::check(kind, file.path(), part.questions, bank->held);
            plan.problems += checked.problems();
            if (checked.ok())
                plan.nearDuplicates += nearDuplicateLines(checked, bank->held);
        }
        plan.parts.append(part);
    }
    sortByLine(plan.problems);
    sortByLine(plan.nearDuplicates);
    return plan;
}

QList<DemoSourceProblem> nearDuplicateLines(const DemoSource &lines, const HeldQuestions &held)
{
    struct Known
    {
        QString normalized;
        QString place; // what the warning says the line is close to, before its text
        QString text;
    };
    // The other question, cut around where it differs from the line.
    const auto quoted = [](const QString &text, const QString &line) {
        constexpr int kShown = 60;
        return QStringLiteral("«%1»").arg(questionSearch::differenceExcerpt(text, line, kShown));
    };
    const bool trueFalse = lines.kind() == QuestionKind::TrueFalse;
    QHash<int, QList<Known>> byChapter;
    for (const HeldQuestions::Text &text : held.texts()) {
        QString where = QStringLiteral("capítulo %1").arg(text.chapter);
        if (trueFalse)
            where += QStringLiteral(", tema %1").arg(text.topic);
        byChapter[text.chapter].append(
            {questionSearch::normalizedText(text.text),
             QStringLiteral("al registro %1 (%2): ").arg(text.recordNumber).arg(where), text.text});
    }
    QList<DemoSourceProblem> warnings;
    for (const DemoQuestion &question : lines.questions()) {
        QList<Known> &known = byChapter[question.chapter];
        const QString normalized = questionSearch::normalizedText(question.text);
        for (const Known &other : std::as_const(known)) {
            if (questionSearch::nearDuplicates(normalized, other.normalized)) {
                warnings.append({lines.path(), question.line,
                                 QStringLiteral("muy parecida ") + other.place +
                                     quoted(other.text, question.text)});
                break;
            }
        }
        known.append(
            {normalized, QStringLiteral("a la línea %1: ").arg(question.line), question.text});
    }
    return warnings;
}

} // namespace questionImport
