#include "ExamHistory.h"

#include "BoundQuery.h"
#include "ExamVersions.h"
#include "FileLock.h"
#include "SheetRecords.h"
#include "SystemError.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a change waits for another program's, as a change of the bank does.
constexpr int kLockWaitMs = 2000;
// Dates are kept in local time as ISO 8601 text ("2026-06-12T09:30:00"),
// which sorts as it reads.
constexpr Qt::DateFormat kDateFormat = Qt::ISODate;
// The kinds as the history stores them, in QuestionKind's order.
const QStringList kKindCodes{QStringLiteral("test"), QStringLiteral("conceptual"),
                             QStringLiteral("practica"), QStringLiteral("breve")};
const QString kDamaged = QStringLiteral("el fichero está dañado");
// The tables of a history made before histories carried our application id.
const QStringList kFirstTables{QStringLiteral("exam"), QStringLiteral("exam_question")};
// What a history's files are set aside with, beside the database itself:
// the journal SQLite would roll it back from, and a write-ahead log.
const QStringList kCompanions{QStringLiteral("-journal"), QStringLiteral("-wal")};

QAtomicInt connections;

// SQLite's primary result codes that a teacher may meet, in Spanish.
QString reasonOf(const QSqlError &error, bool readOnly = false)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("otro programa está usando el historial");
    case 8: // SQLITE_READONLY
        // A reader writes nothing: what it cannot do is roll back a change
        // that a killed program left half made.
        if (readOnly)
            return QStringLiteral("el historial quedó a medio escribir; Orvalis lo pondrá en "
                                  "orden la próxima vez que anote un examen");
        [[fallthrough]];
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

// The steps that bring a history's schema from one version to the next, each
// run inside the one transaction of the whole upgrade: step N makes version
// N + 1 of version N.
using SchemaStep = bool (*)(QSqlQuery &query);

// 0 → 1: the exams and their questions.
bool createTables(QSqlQuery &query)
{
    return run(query,
               QStringLiteral("CREATE TABLE IF NOT EXISTS exam (id INTEGER PRIMARY KEY, "
                              "made_at TEXT NOT NULL, kind TEXT NOT NULL, title TEXT NOT NULL, "
                              "versions INTEGER NOT NULL, seed INTEGER)")) &&
           run(query,
               QStringLiteral("CREATE TABLE IF NOT EXISTS exam_question (exam_id INTEGER NOT NULL "
                              "REFERENCES exam (id) ON DELETE CASCADE, position INTEGER NOT NULL, "
                              "kind TEXT NOT NULL, chapter INTEGER NOT NULL, topic INTEGER, "
                              "text TEXT NOT NULL, PRIMARY KEY (exam_id, position))")) &&
           run(query, QStringLiteral("CREATE INDEX IF NOT EXISTS exam_question_text ON "
                                     "exam_question (kind, text)"));
}

// 1 → 2: the answer of each true/false question (1 Sí, 0 No); NULL for
// exposition questions and for those recorded before.
bool addAnswers(QSqlQuery &query)
{
    return run(query, QStringLiteral("ALTER TABLE exam_question ADD COLUMN answer INTEGER"));
}

const SchemaStep kSchemaSteps[] = {createTables, addAnswers, sheetRecords::addTables};
static_assert(std::size(kSchemaSteps) == ExamHistory::kSchemaVersion);

const QString kNewerHistory =
    QStringLiteral("el historial es de una versión más reciente del programa");

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

QString ExamHistory::open(Access access)
{
    if (m_open)
        return {};
    m_readOnly = access == Access::ReadOnly;
    m_empty = false;
    const QByteArray native = QFile::encodeName(m_path);
    struct stat entry = {};
    if (::stat(native.constData(), &entry) == 0) {
        // SQLite would open a pipe or a device and report a failed read.
        if (!S_ISREG(entry.st_mode))
            return QStringLiteral("%1 no es un fichero de datos sino una carpeta, una tubería o "
                                  "un dispositivo")
                .arg(QFileInfo(m_path).fileName());
        // SQLite takes an empty file for a new database and may remove a
        // log beside it: a reader leaves it alone and sees no exams.
        if (m_readOnly && entry.st_size == 0)
            return {};
    } else if (m_readOnly) {
        return {}; // nothing there, or a link to nothing: no exams, nothing made
    }
    QString error = emptyBesideLog() ? kDamaged : connect();
    if (error == kDamaged && !m_readOnly) {
        QSqlDatabase::database(m_connection, false).close();
        if (error = setAside(); error.isEmpty())
            error = connect();
    }
    if (!error.isEmpty() || m_empty) {
        QSqlDatabase::database(m_connection, false).close();
        return error;
    }
    m_open = true;
    return {};
}

// Opens the connection (read-only for a reader) and checks the file.
QString ExamHistory::connect()
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return QStringLiteral("falta el controlador de SQLite de Qt (libqt6sql6-sqlite)");
    db.setDatabaseName(m_path);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
            .arg(kLockWaitMs)
            .arg(m_readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    return db.open() ? prepareSchema() : reasonOf(db.lastError(), m_readOnly);
}

// kDamaged when SQLite finds the open file damaged; empty when not.
QString ExamHistory::quickCheck()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, QStringLiteral("PRAGMA quick_check")))
        return reasonOf(query.lastError(), m_readOnly);
    if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
        return kDamaged;
    return {};
}

// Checks the file, refuses one that is not ours, and (for a writer) sets the
// journal and flushing the history relies on and brings an earlier schema
// (or none) up to this program's.
QString ExamHistory::prepareSchema()
{
    if (const QString error = quickCheck(); !error.isEmpty())
        return error;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!run(query, QStringLiteral("PRAGMA application_id")) || !query.next())
        return reasonOf(query.lastError(), m_readOnly);
    const qint32 applicationId = query.value(0).toInt();
    if (!run(query, QStringLiteral("PRAGMA user_version")) || !query.next())
        return reasonOf(query.lastError(), m_readOnly);
    const int version = query.value(0).toInt();
    if (!run(query, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                   "name NOT LIKE 'sqlite%' ORDER BY name")))
        return reasonOf(query.lastError(), m_readOnly);
    QStringList tables;
    while (query.next())
        tables.append(query.value(0).toString());
    // Ours: our id, whatever the version; or, from before the id, a new
    // empty database or the first version's tables.
    const bool ours = applicationId == ExamHistory::kApplicationId ||
                      (applicationId == 0 && ((version == 0 && tables.isEmpty()) ||
                                              (version >= 1 && tables == kFirstTables)));
    if (!ours)
        return QStringLiteral("%1 es una base de datos de otro programa, no un historial de "
                              "exámenes de Orvalis; no se usa ni se cambia")
            .arg(QFileInfo(m_path).fileName());
    if (version > ExamHistory::kSchemaVersion)
        return kNewerHistory;
    m_version = version;
    if (m_readOnly) {
        m_empty = tables.isEmpty();
        return {};
    }
    for (const char *pragma :
         {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"})
        if (!run(query, QString::fromLatin1(pragma)))
            return reasonOf(query.lastError());
    if (version == ExamHistory::kSchemaVersion && applicationId == ExamHistory::kApplicationId)
        return {};
    return upgradeSchema();
}

// Brings the schema to this program's version in one transaction under the
// lock: a program killed in the middle leaves the history as it was, which
// the next one upgrades. The version is read again once the lock is held,
// since another program may have upgraded it meanwhile.
QString ExamHistory::upgradeSchema()
{
    return underLock([this] {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        QSqlQuery query(db);
        if (!db.transaction())
            return reasonOf(db.lastError());
        const auto failed = [&](const QString &reason) {
            db.rollback();
            return reason;
        };
        if (!run(query, QStringLiteral("PRAGMA user_version")) || !query.next())
            return failed(reasonOf(query.lastError()));
        const int from = query.value(0).toInt();
        if (from > ExamHistory::kSchemaVersion)
            return failed(kNewerHistory);
        for (int version = from; version < ExamHistory::kSchemaVersion; ++version)
            if (!kSchemaSteps[version](query))
                return failed(reasonOf(query.lastError()));
        if (!run(query,
                 QStringLiteral("PRAGMA application_id = %1").arg(ExamHistory::kApplicationId)) ||
            !run(query,
                 QStringLiteral("PRAGMA user_version = %1").arg(ExamHistory::kSchemaVersion)))
            return failed(reasonOf(query.lastError()));
        if (!db.commit())
            return failed(reasonOf(db.lastError()));
        m_version = ExamHistory::kSchemaVersion;
        return QString();
    });
}

// An empty file beside a write-ahead log: SQLite would remove the log.
bool ExamHistory::emptyBesideLog() const
{
    struct stat entry = {};
    return ::stat(QFile::encodeName(m_path).constData(), &entry) == 0 && entry.st_size == 0 &&
           QFileInfo::exists(m_path + kCompanions[1]);
}

// Whether the file under the name now is one to set aside: damaged for
// SQLite, or empty beside a write-ahead log.
bool ExamHistory::damagedNow()
{
    if (emptyBesideLog())
        return true;
    if (!exists())
        return false;
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kLockWaitMs));
    const bool damaged =
        db.open() ? quickCheck() == kDamaged : reasonOf(db.lastError()) == kDamaged;
    db.close();
    return damaged;
}

namespace {

// Gives `from` the name `to` only if nothing bears it: never over another
// file. Where the file system has no such rename, a link and an unlink.
int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    return ::unlink(source.constData()) == 0 ? 0 : errno;
}

} // namespace

// Renames the damaged file, with the journal SQLite would roll it back from
// (moved first: a journal left beside a new history would be played into
// it), to "historial-dañado-<fecha>-<hora>.sqlite" beside it. Under the
// history's lock, once the file is found damaged still: another program may
// have set it aside and started a new history since this one looked.
QString ExamHistory::setAside()
{
    return underLock([this]() -> QString {
        if (!damagedNow())
            return {};
        const QFileInfo info(m_path);
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        for (int n = 1;; ++n) {
            const QString name = QStringLiteral("%1-dañado-%2%3.sqlite")
                                     .arg(info.completeBaseName(), stamp,
                                          n == 1 ? QString() : QStringLiteral("-%1").arg(n));
            const QString target = info.dir().filePath(name);
            const auto taken = [&target](const QString &suffix) {
                return QFileInfo(target + suffix).exists() ||
                       QFileInfo(target + suffix).isSymLink();
            };
            if (taken(QString()) || taken(kCompanions[0]) || taken(kCompanions[1]))
                continue;
            int error = 0;
            for (const QString &suffix : kCompanions)
                if (error == 0 && QFileInfo::exists(m_path + suffix))
                    error = renameNoReplace(m_path + suffix, target + suffix);
            if (error == 0)
                error = renameNoReplace(m_path, target);
            if (error == EEXIST)
                continue;
            if (error != 0)
                return QStringLiteral("el fichero %1 está dañado y no se ha podido apartar: %2")
                    .arg(info.fileName(), systemErrorText(error));
            syncFolder(info.absolutePath());
            m_setAsideNote =
                QStringLiteral("El historial de exámenes (%1) estaba dañado: se ha apartado "
                               "como %2 y se empieza uno nuevo.")
                    .arg(info.fileName(), name);
            return {};
        }
    });
}

QSqlDatabase ExamHistory::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString ExamHistory::change(const std::function<QString(QSqlDatabase &)> &work)
{
    if (QString error = open(); !error.isEmpty())
        return error;
    return underLock([this, &work] {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (!db.transaction())
            return reasonOf(db.lastError());
        if (const QString error = work(db); !error.isEmpty()) {
            db.rollback();
            return error;
        }
        return db.commit() ? QString() : reasonOf(db.lastError());
    });
}

QString ExamHistory::reasonOfError(const QSqlError &error)
{
    return reasonOf(error);
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
        *error = reasonOf(query.lastError(), m_readOnly);
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
        *error = reasonOf(query.lastError(), m_readOnly);
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
        *error = reasonOf(query.lastError(), m_readOnly);
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
        *error = reasonOf(query.lastError(), m_readOnly);
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
