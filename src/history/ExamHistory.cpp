// Opening the exam history: the connection, the schema brought up to this
// program's, a damaged file set aside, and changes made under its lock.
#include "ExamHistory.h"

#include "BoundQuery.h"
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

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a change waits for another program's, as a change of the bank does.
constexpr int kLockWaitMs = 2000;
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

} // namespace

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

QString ExamHistory::reasonOfError(const QSqlError &error, bool readOnly)
{
    return reasonOf(error, readOnly);
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
