// The exams the history keeps: each recorded with its questions (and their
// answers), read back whole or as a listing, and the questions used by
// earlier exams.
#include "ExamHistory.h"

#include "BoundQuery.h"
#include "ExamVersions.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace {

// Dates are kept in local time as ISO 8601 text ("2026-06-12T09:30:00"),
// which sorts as it reads.
constexpr Qt::DateFormat kDateFormat = Qt::ISODate;
// The kinds as the history stores them, in QuestionKind's order.
const QStringList kKindCodes{QStringLiteral("test"), QStringLiteral("conceptual"),
                             QStringLiteral("practica"), QStringLiteral("breve")};

using boundQuery::run;

std::optional<QuestionKind> kindFromCode(const QString &code)
{
    const qsizetype kind = kKindCodes.indexOf(code);
    if (kind < 0)
        return std::nullopt;
    return QuestionKind(kind);
}

QString invalidValue(qint64 exam, const QString &what, const QVariant &value)
{
    return QStringLiteral("el examen %1 del historial no es válido: %2 es «%3»")
        .arg(exam)
        .arg(what, value.toString());
}

// The exam of the row, or why a value of it is not one this program writes
// (a history changed by another program): never shown as something else.
std::optional<HistoryExam> examFrom(const QSqlQuery &row, QString *error)
{
    HistoryExam exam;
    exam.id = row.value(0).toLongLong();
    exam.madeAt = QDateTime::fromString(row.value(1).toString(), kDateFormat);
    const QString kind = row.value(2).toString();
    exam.exposition = kind == QLatin1String("exposicion");
    exam.title = row.value(3).toString();
    bool versionsRead = false, seedRead = true;
    exam.versions = row.value(4).toInt(&versionsRead);
    const qint64 seed = row.value(5).isNull() ? 0 : row.value(5).toLongLong(&seedRead);
    exam.seed = quint32(seed);
    exam.questionCount = row.value(6).toInt();
    if (!exam.exposition && kind != kKindCodes[0])
        *error = invalidValue(exam.id, QStringLiteral("el tipo"), kind);
    else if (!versionsRead || exam.versions < 1 || exam.versions > 4)
        *error = invalidValue(exam.id, QStringLiteral("el número de versiones"), row.value(4));
    else if (!seedRead || seed < 0 || seed > qint64(std::numeric_limits<quint32>::max()))
        *error = invalidValue(exam.id, QStringLiteral("la clave"), row.value(5));
    else if (!exam.madeAt.isValid())
        *error = invalidValue(exam.id, QStringLiteral("la fecha"), row.value(1));
    else
        return exam;
    return std::nullopt;
}

const QString kExamColumns =
    QStringLiteral("SELECT e.id, e.made_at, e.kind, e.title, e.versions, e.seed, "
                   "(SELECT COUNT(*) FROM exam_question q WHERE q.exam_id = e.id) FROM exam e ");

} // namespace

HistoryExam HistoryExam::from(const ExamDescription &exam)
{
    HistoryExam entry;
    entry.exposition = exam.kind == ExamDescription::Kind::Exposition;
    if (exam.versions > 1) {
        entry.versions = exam.versions;
        entry.seed = exam.seed;
    }
    for (const ExamQuestion &question : exam.selection.all()) {
        const bool trueFalse = question.kind == QuestionKind::TrueFalse;
        entry.questions.append({question.kind, question.chapter,
                                trueFalse ? question.topic : qint16(0), question.text,
                                trueFalse ? std::optional<bool>(question.answer) : std::nullopt});
    }
    entry.questionCount = int(entry.questions.size());
    return entry;
}

QList<QList<qsizetype>> HistoryExam::versionOrders() const
{
    // The questions are kept in the selection's order, kind after kind, so
    // the versions' own shuffles give back the orders printed.
    ExamDescription described;
    described.versions = versions;
    described.seed = seed;
    for (const HistoryQuestion &question : questions) {
        ExamQuestion asked;
        asked.kind = question.kind;
        asked.text = question.text;
        described.selection.add(asked);
    }
    return ExamVersions::printedOrders(described);
}

QString HistoryExam::kindName() const
{
    return exposition ? QStringLiteral("exposición") : QStringLiteral("tipo test");
}

QString HistoryExam::defaultTitle(const QDateTime &madeAt)
{
    return QStringLiteral("Examen del ") + madeAt.toString(QStringLiteral("dd/MM/yyyy"));
}

QString ExamHistory::record(HistoryExam &exam)
{
    if (QString error = open(); !error.isEmpty())
        return error;
    if (!exam.madeAt.isValid())
        exam.madeAt = QDateTime::currentDateTime();
    if (exam.title.trimmed().isEmpty())
        exam.title = HistoryExam::defaultTitle(exam.madeAt);
    return underLock([this, &exam] {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (!db.transaction())
            return reasonOfError(db.lastError());
        QSqlQuery query(db);
        const auto failed = [&] {
            const QString reason = reasonOfError(query.lastError());
            db.rollback();
            return reason;
        };
        const QVariant seed = exam.versions > 1 ? QVariant(exam.seed) : QVariant();
        const QString kind = exam.exposition ? QStringLiteral("exposicion") : kKindCodes[0];
        qint64 id = exam.id;
        if (id > 0 && !run(query, QStringLiteral("SELECT 1 FROM exam WHERE id = ?"), {id}))
            return failed();
        if (id > 0 && query.next()) {
            if (!run(query,
                     QStringLiteral("UPDATE exam SET kind = ?, title = ?, versions = ?, seed = ? "
                                    "WHERE id = ?"),
                     {kind, exam.title, exam.versions, seed, id}) ||
                !run(query, QStringLiteral("DELETE FROM exam_question WHERE exam_id = ?"), {id}))
                return failed();
        } else {
            if (!run(query,
                     QStringLiteral("INSERT INTO exam (made_at, kind, title, versions, seed) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                     {exam.madeAt.toString(kDateFormat), kind, exam.title, exam.versions, seed}))
                return failed();
            id = query.lastInsertId().toLongLong();
        }
        if (!query.prepare(
                QStringLiteral("INSERT INTO exam_question (exam_id, position, kind, "
                               "chapter, topic, text, answer) VALUES (?, ?, ?, ?, ?, ?, ?)")))
            return failed();
        for (qsizetype i = 0; i < exam.questions.size(); ++i) {
            const HistoryQuestion &question = exam.questions[i];
            const bool trueFalse = question.kind == QuestionKind::TrueFalse;
            for (const QVariant &value :
                 {QVariant(id), QVariant(qint64(i + 1)), QVariant(kKindCodes[int(question.kind)]),
                  QVariant(question.chapter), trueFalse ? QVariant(question.topic) : QVariant(),
                  QVariant(question.text),
                  question.answer ? QVariant(int(*question.answer)) : QVariant()})
                query.addBindValue(value);
            if (!query.exec())
                return failed();
        }
        if (!db.commit())
            return failed();
        exam.id = id;
        exam.questionCount = int(exam.questions.size());
        return QString();
    });
}

QString ExamHistory::rename(qint64 id, const QString &title)
{
    if (QString error = open(); !error.isEmpty())
        return error;
    return underLock([this, id, &title] {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        if (!run(query, QStringLiteral("UPDATE exam SET title = ? WHERE id = ?"),
                 {title.trimmed(), id}))
            return reasonOfError(query.lastError());
        return query.numRowsAffected() == 1
                   ? QString()
                   : QStringLiteral("no hay ningún examen número %1 en el historial").arg(id);
    });
}

QList<HistoryExam> ExamHistory::exams(QString *error) const
{
    QList<HistoryExam> exams;
    if (!m_open)
        return exams;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, kExamColumns + QStringLiteral("ORDER BY e.id"))) {
        *error = reasonOfError(query.lastError(), m_readOnly);
        return {};
    }
    while (query.next()) {
        std::optional<HistoryExam> exam = examFrom(query, error);
        if (!exam)
            return {};
        exams.append(*exam);
    }
    return exams;
}

std::optional<HistoryExam> ExamHistory::exam(qint64 id, QString *error) const
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, kExamColumns + QStringLiteral("WHERE e.id = ?"), {id})) {
        *error = reasonOfError(query.lastError(), m_readOnly);
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    std::optional<HistoryExam> exam = examFrom(query, error);
    if (!exam)
        return std::nullopt;
    if (!run(query,
             QStringLiteral("SELECT kind, chapter, topic, text, %1 FROM exam_question "
                            "WHERE exam_id = ? ORDER BY position")
                 .arg(m_version >= 2 ? QStringLiteral("answer") : QStringLiteral("NULL")),
             {id})) {
        *error = reasonOfError(query.lastError(), m_readOnly);
        return std::nullopt;
    }
    while (query.next()) {
        const std::optional<QuestionKind> kind = kindFromCode(query.value(0).toString());
        bool chapterRead = false, topicRead = true;
        const int chapter = query.value(1).toInt(&chapterRead);
        const int topic = query.value(2).isNull() ? 0 : query.value(2).toInt(&topicRead);
        const bool trueFalse = kind == QuestionKind::TrueFalse;
        const QString which = QStringLiteral(" de su pregunta %1").arg(exam->questions.size() + 1);
        if (!kind)
            *error = invalidValue(id, QStringLiteral("el tipo") + which, query.value(0));
        else if (!chapterRead || chapter < 1 || chapter > 22)
            *error = invalidValue(id, QStringLiteral("el capítulo") + which, query.value(1));
        else if (!topicRead || (trueFalse ? topic < 1 || topic > 10 : topic != 0))
            *error = invalidValue(id, QStringLiteral("el tema") + which, query.value(2));
        // An answer is 1 or 0, and only a true/false question has one.
        const bool answerKnown = !query.value(4).isNull();
        bool answerRead = true;
        const int answer = answerKnown ? query.value(4).toInt(&answerRead) : 0;
        if (error->isEmpty() && answerKnown &&
            (!answerRead || !trueFalse || answer < 0 || answer > 1))
            *error = invalidValue(id, QStringLiteral("la respuesta") + which, query.value(4));
        if (!error->isEmpty())
            return std::nullopt;
        exam->questions.append({*kind, qint16(chapter), qint16(topic), query.value(3).toString(),
                                answerKnown ? std::optional<bool>(answer == 1) : std::nullopt});
    }
    return exam;
}

UsedQuestions ExamHistory::usedQuestions(QString *error) const
{
    UsedQuestions used;
    if (!m_open)
        return used;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT q.kind, q.text, e.title, e.made_at FROM exam_question q "
                                   "JOIN exam e ON e.id = q.exam_id ORDER BY e.id DESC"))) {
        *error = reasonOfError(query.lastError(), m_readOnly);
        return used;
    }
    // A question of a kind this program does not know marks nothing.
    while (query.next())
        if (const std::optional<QuestionKind> kind = kindFromCode(query.value(0).toString()))
            used.add(*kind, query.value(1).toString(),
                     {query.value(2).toString(),
                      QDateTime::fromString(query.value(3).toString(), kDateFormat)});
    return used;
}
