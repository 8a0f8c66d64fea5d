#include "ExamHistory.h"

#include "FileLock.h"
#include "SystemError.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int kSchemaVersion = 1;
// How long a change waits for another program's, as a change of the bank does.
constexpr int kLockWaitMs = 2000;
// Dates are kept in local time as ISO 8601 text ("2026-06-12T09:30:00"),
// which sorts as it reads.
constexpr Qt::DateFormat kDateFormat = Qt::ISODate;
// The kinds as the history stores them, in QuestionKind's order.
const QStringList kKindCodes{QStringLiteral("test"), QStringLiteral("conceptual"),
                             QStringLiteral("practica"), QStringLiteral("breve")};
const QString kDamaged = QStringLiteral("el fichero está dañado");

QAtomicInt connections;

// SQLite's primary result codes that a teacher may meet, in Spanish.
QString reasonOf(const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("otro programa está usando el historial");
    case 8:  // SQLITE_READONLY
    case 23: // SQLITE_AUTH
        return systemErrorText(EACCES);
    case 10: // SQLITE_IOERR
        return systemErrorText(EIO);
    case 13: // SQLITE_FULL
        return systemErrorText(ENOSPC);
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return kDamaged;
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("no se puede abrir el fichero %1").arg(ExamHistory::kFileName);
    default:
        return QStringLiteral("error de la base de datos (%1)").arg(error.databaseText());
    }
}

// Runs `sql` with its values bound in order; false leaves the error in query.
bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {})
{
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

QuestionKind kindFromCode(const QString &code)
{
    return QuestionKind(qMax(0, int(kKindCodes.indexOf(code))));
}

HistoryExam examFrom(const QSqlQuery &row)
{
    HistoryExam exam;
    exam.id = row.value(0).toLongLong();
    exam.madeAt = QDateTime::fromString(row.value(1).toString(), kDateFormat);
    exam.exposition = row.value(2).toString() == QLatin1String("exposicion");
    exam.title = row.value(3).toString();
    exam.versions = row.value(4).toInt();
    exam.seed = row.value(5).toUInt();
    exam.questionCount = row.value(6).toInt();
    return exam;
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
    if (!entry.exposition) {
        for (const SelectedQuestion &question : exam.questions)
            entry.questions.append(
                {QuestionKind::TrueFalse, question.chapter, question.topic, question.text});
    } else {
        for (int section = 0; section < 3; ++section) {
            const QStringList &texts = exam.sections[section];
            const QList<qint16> &chapters = exam.sectionChapters[section];
            for (qsizetype i = 0; i < texts.size(); ++i)
                entry.questions.append({kQuestionKinds[section + 1],
                                        i < chapters.size() ? chapters[i] : qint16(0), 0,
                                        texts[i]});
        }
    }
    entry.questionCount = int(entry.questions.size());
    return entry;
}

QString HistoryExam::kindName() const
{
    return exposition ? QStringLiteral("exposición") : QStringLiteral("tipo test");
}

QString HistoryExam::defaultTitle(const QDateTime &madeAt)
{
    return QStringLiteral("Examen del ") + madeAt.toString(QStringLiteral("dd/MM/yyyy"));
}

ExamHistory::ExamHistory(const QString &path)
    : m_path(path), m_connection(QStringLiteral("historial-%1").arg(++connections))
{
}

ExamHistory::~ExamHistory()
{
    // Closes the connection too.
    QSqlDatabase::removeDatabase(m_connection);
}

bool ExamHistory::exists() const
{
    return QFileInfo::exists(m_path);
}

QString ExamHistory::takeSetAsideNote()
{
    return std::exchange(m_setAsideNote, QString());
}

QString ExamHistory::open(bool create)
{
    if (m_open || (!create && !exists()))
        return {};
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return QStringLiteral("falta el controlador de SQLite de Qt (libqt6sql6-sqlite)");
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kLockWaitMs));
    QString error = db.open() ? prepareSchema() : reasonOf(db.lastError());
    if (error == kDamaged) {
        db.close();
        if (error = setAside(); !error.isEmpty())
            return error;
        error = db.open() ? prepareSchema() : reasonOf(db.lastError());
    }
    if (!error.isEmpty()) {
        db.close();
        return error;
    }
    m_open = true;
    return {};
}

// Checks the file, sets the journal and flushing the history relies on, and
// creates the tables in a history that has none.
QString ExamHistory::prepareSchema()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, QStringLiteral("PRAGMA quick_check")))
        return reasonOf(query.lastError());
    if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
        return kDamaged;
    for (const char *pragma :
         {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"})
        if (!run(query, QString::fromLatin1(pragma)))
            return reasonOf(query.lastError());
    if (!run(query, QStringLiteral("PRAGMA user_version")) || !query.next())
        return reasonOf(query.lastError());
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion)
        return QStringLiteral("el historial es de una versión más reciente del programa");
    if (version == kSchemaVersion)
        return {};
    return underLock([this] {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        QSqlQuery create(db);
        if (!db.transaction())
            return reasonOf(db.lastError());
        for (const char *sql :
             {"CREATE TABLE IF NOT EXISTS exam (id INTEGER PRIMARY KEY, made_at TEXT NOT NULL, "
              "kind TEXT NOT NULL, title TEXT NOT NULL, versions INTEGER NOT NULL, seed INTEGER)",
              "CREATE TABLE IF NOT EXISTS exam_question (exam_id INTEGER NOT NULL "
              "REFERENCES exam (id) ON DELETE CASCADE, position INTEGER NOT NULL, "
              "kind TEXT NOT NULL, chapter INTEGER NOT NULL, topic INTEGER, text TEXT NOT NULL, "
              "PRIMARY KEY (exam_id, position))",
              "CREATE INDEX IF NOT EXISTS exam_question_text ON exam_question (kind, text)",
              "PRAGMA user_version = 1"}) {
            if (!run(create, QString::fromLatin1(sql))) {
                const QString reason = reasonOf(create.lastError());
                db.rollback();
                return reason;
            }
        }
        return db.commit() ? QString() : reasonOf(db.lastError());
    });
}

// Renames the damaged file, with the journal SQLite would roll it back
// from, to "historial-dañado-<fecha>-<hora>.sqlite" beside it.
QString ExamHistory::setAside()
{
    const QFileInfo info(m_path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name;
    for (int n = 1;; ++n) {
        name = QStringLiteral("%1-dañado-%2%3.sqlite")
                   .arg(info.completeBaseName(), stamp,
                        n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (!QFileInfo::exists(info.dir().filePath(name)))
            break;
    }
    const QString target = info.dir().filePath(name);
    const auto move = [](const QString &from, const QString &to) {
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    };
    if (move(m_path, target) != 0)
        return QStringLiteral("el fichero %1 está dañado y no se ha podido apartar: %2")
            .arg(info.fileName(), systemErrorText(errno));
    if (QFileInfo::exists(m_path + QStringLiteral("-journal")))
        move(m_path + QStringLiteral("-journal"), target + QStringLiteral("-journal"));
    syncFolder(info.absolutePath());
    m_setAsideNote = QStringLiteral("El historial de exámenes (%1) estaba dañado: se ha apartado "
                                    "como %2 y se empieza uno nuevo.")
                         .arg(info.fileName(), name);
    return {};
}

QString ExamHistory::underLock(const std::function<QString()> &change)
{
    FileLock lock;
    switch (lock.lock(m_path + QStringLiteral(".lock"), kLockWaitMs)) {
    case FileLock::Result::Locked:
        return change();
    case FileLock::Result::Busy:
        return QStringLiteral("otro programa está usando el historial");
    case FileLock::Result::Failed:
        break;
    }
    return lock.errorString();
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
            return reasonOf(db.lastError());
        QSqlQuery query(db);
        const auto failed = [&] {
            const QString reason = reasonOf(query.lastError());
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
        if (!query.prepare(QStringLiteral("INSERT INTO exam_question (exam_id, position, kind, "
                                          "chapter, topic, text) VALUES (?, ?, ?, ?, ?, ?)")))
            return failed();
        for (qsizetype i = 0; i < exam.questions.size(); ++i) {
            const HistoryQuestion &question = exam.questions[i];
            const bool trueFalse = question.kind == QuestionKind::TrueFalse;
            for (const QVariant &value :
                 {QVariant(id), QVariant(qint64(i + 1)), QVariant(kKindCodes[int(question.kind)]),
                  QVariant(question.chapter), trueFalse ? QVariant(question.topic) : QVariant(),
                  QVariant(question.text)})
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
            return reasonOf(query.lastError());
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
        *error = reasonOf(query.lastError());
        return {};
    }
    while (query.next())
        exams.append(examFrom(query));
    return exams;
}

std::optional<HistoryExam> ExamHistory::exam(qint64 id, QString *error) const
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, kExamColumns + QStringLiteral("WHERE e.id = ?"), {id})) {
        *error = reasonOf(query.lastError());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    HistoryExam exam = examFrom(query);
    if (!run(query,
             QStringLiteral("SELECT kind, chapter, topic, text FROM exam_question "
                            "WHERE exam_id = ? ORDER BY position"),
             {id})) {
        *error = reasonOf(query.lastError());
        return std::nullopt;
    }
    while (query.next())
        exam.questions.append({kindFromCode(query.value(0).toString()),
                               qint16(query.value(1).toInt()), qint16(query.value(2).toInt()),
                               query.value(3).toString()});
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
        *error = reasonOf(query.lastError());
        return used;
    }
    while (query.next())
        used.add(kindFromCode(query.value(0).toString()), query.value(1).toString(),
                 {query.value(2).toString(),
                  QDateTime::fromString(query.value(3).toString(), kDateFormat)});
    return used;
}
