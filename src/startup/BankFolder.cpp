#include "BankFolder.h"

#include "ExpositionKind.h"
#include "TrueFalseBank.h"

#include "FileLock.h"
#include "SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BankFolder {

namespace {

StepHook g_stepHook = nullptr;

void stepDone()
{
    if (g_stepHook)
        g_stepHook();
}

QString quoted(const QString &path)
{
    return QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path));
}

// The nearest folder above path that exists; path itself when it does.
QString existingAncestor(QString path)
{
    while (!QFileInfo(path).isDir() && !QDir(path).isRoot())
        path = QFileInfo(path).absolutePath();
    return path;
}

// Straight to the system calls, so that every failure is reported with the
// errno of the call that failed, in Spanish (QFile's texts follow the
// machine's language, and it reports a short write with no reason at all).
QString copyDurably(const QString &from, const QString &to)
{
    // A bank file must be a plain file: reading a pipe or a device would block.
    if (!QFileInfo(from).isFile())
        return QStringLiteral("falta el banco de demostración: no se encuentra %1")
            .arg(quoted(from));
    const auto failed = [](const QString &what, const QString &path, int error) {
        return QStringLiteral("no se puede %1 %2: %3")
            .arg(what, quoted(path), systemErrorText(error));
    };
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return failed(QStringLiteral("leer"), from, errno);
    struct stat info = {};
    QByteArray bytes;
    qint64 done = 0;
    int error = ::fstat(in, &info) == 0 ? 0 : errno;
    if (error == 0) {
        bytes.resize(qsizetype(info.st_size));
        error = readFully(in, bytes.data(), bytes.size(), 0, &done);
        bytes.truncate(qsizetype(done));
    }
    ::close(in);
    if (error != 0)
        return failed(QStringLiteral("leer"), from, error);

    const int out =
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0)
        return failed(QStringLiteral("crear"), to, errno);
    stepDone();
    error = writeFully(out, bytes.constData(), bytes.size());
    if (error == 0) {
        stepDone();
        error = ::fsync(out) == 0 ? 0 : errno;
    }
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return failed(QStringLiteral("escribir"), to, error);
    stepDone();
    return {};
}

QString fillFolder(const QString &fresh, const QString &demoFolder)
{
    if (::mkdir(QFile::encodeName(fresh).constData(), 0777) != 0) {
        const int failure = errno;
        return QStringLiteral("no se puede crear la carpeta %1: %2")
            .arg(quoted(fresh), systemErrorText(failure));
    }
    stepDone();
    for (const QString &name : bankFileNames()) {
        const QString error =
            copyDurably(QDir(demoFolder).filePath(name), QDir(fresh).filePath(name));
        if (!error.isEmpty())
            return error;
    }
    if (const int failure = syncFolder(fresh); failure != 0)
        return QStringLiteral("no se puede guardar la carpeta %1: %2")
            .arg(quoted(fresh), systemErrorText(failure));
    stepDone();
    return {};
}

} // namespace

Environment Environment::current()
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return {qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"),
            QFileInfo(program).absolutePath()};
}

QStringList bankFileNames()
{
    return {TrueFalseBank::loadName(), expositionKindInfo(ExpositionKind::Conceptual).loadName,
            expositionKindInfo(ExpositionKind::Practical).loadName,
            expositionKindInfo(ExpositionKind::Brief).loadName};
}

bool holdsNoBank(const QString &folder)
{
    const QStringList entries =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QStringList names = bankFileNames();
    return std::none_of(entries.cbegin(), entries.cend(), [&names](const QString &entry) {
        return names.contains(entry, Qt::CaseInsensitive);
    });
}

QString personalFolder(const Environment &environment, QString *error)
{
    QString dataHome = environment.dataHome;
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
        if (environment.home.isEmpty()) {
            if (error)
                *error = QStringLiteral("no se sabe cuál es la carpeta personal: HOME no está "
                                        "definida");
            return {};
        }
        dataHome = environment.home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(dataHome + QStringLiteral("/orvalis/banco"));
}

QString installedDemoBank(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QLatin1Char('/') +
                           QStringLiteral(ORVALIS_DEMO_BANK_FROM_BINDIR));
}

QString checkUsable(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("la carpeta %1 no existe").arg(quoted(folder));
    if (!info.isDir())
        return QStringLiteral("%1 no es una carpeta").arg(quoted(folder));
    if (::access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) != 0)
        return QStringLiteral("no se puede leer y escribir en la carpeta %1").arg(quoted(folder));
    return {};
}

QString preparePersonal(const QString &folder, const QString &demoFolder)
{
    const QFileInfo target(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    const QString lockPath = target.absoluteFilePath() + QStringLiteral(".lock");
    if (target.exists() || target.isSymLink()) {
        // A start killed after putting the folder in place left its lock
        // file; once nobody holds it, it is taken and so removed.
        if (QFileInfo::exists(lockPath))
            FileLock().lock(lockPath, 0);
        return checkUsable(folder);
    }

    const QString parent = target.absolutePath();
    const QString firstExisting = existingAncestor(parent);
    if (!QDir().mkpath(parent))
        return QStringLiteral("no se puede crear la carpeta %1").arg(quoted(parent));
    stepDone();

    // Two first starts at once must not fill the same folder. The lock goes
    // with the process that holds it, so the lock file a killed start left,
    // even one it had no time to write into, blocks nobody.
    FileLock lock;
    switch (lock.lock(lockPath, 10000)) {
    case FileLock::Result::Locked:
        break;
    case FileLock::Result::Busy:
        return QStringLiteral("no se puede preparar la carpeta %1: otro programa la está "
                              "preparando")
            .arg(quoted(target.absoluteFilePath()));
    case FileLock::Result::Failed:
        return QStringLiteral("no se puede preparar la carpeta %1: %2")
            .arg(quoted(target.absoluteFilePath()), lock.errorString());
    }
    stepDone();
    if (QFileInfo::exists(target.absoluteFilePath()))
        return checkUsable(folder);

    // A half-filled copy left by a start that was killed goes first.
    const QString fresh = target.absoluteFilePath() + QStringLiteral(".nuevo");
    if (!QDir(fresh).removeRecursively())
        return QStringLiteral("no se puede borrar la carpeta %1").arg(quoted(fresh));
    stepDone();

    if (const QString error = fillFolder(fresh, demoFolder); !error.isEmpty()) {
        QDir(fresh).removeRecursively();
        return error;
    }
    if (::rename(QFile::encodeName(fresh).constData(),
                 QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int failure = errno; // before anything else makes a call
        const QString error = QStringLiteral("no se puede crear la carpeta %1: %2")
                                  .arg(quoted(target.absoluteFilePath()), systemErrorText(failure));
        QDir(fresh).removeRecursively();
        return error;
    }
    stepDone();

    // The new entry, and every folder mkpath made on the way, must reach the disk.
    for (QString dir = parent;; dir = QFileInfo(dir).absolutePath()) {
        if (const int failure = syncFolder(dir); failure != 0)
            return QStringLiteral("no se puede guardar la carpeta %1: %2")
                .arg(quoted(dir), systemErrorText(failure));
        if (dir == firstExisting || QDir(dir).isRoot())
            break;
    }
    stepDone();
    return {};
}

QString enter(const CommandLine::Request &request, const Environment &environment)
{
    QString folder;
    switch (request.place) {
    case CommandLine::BankPlace::WorkingFolder:
        folder = QDir::currentPath();
        break;
    case CommandLine::BankPlace::GivenFolder:
        folder = request.folder;
        break;
    case CommandLine::BankPlace::PersonalFolder: {
        QString error;
        folder = personalFolder(environment, &error);
        if (folder.isEmpty())
            return error;
        error = preparePersonal(folder, installedDemoBank(environment.programFolder));
        if (!error.isEmpty())
            return error;
        break;
    }
    }
    if (const QString error = checkUsable(folder); !error.isEmpty())
        return error;
    if (!QDir::setCurrent(folder))
        return QStringLiteral("no se puede entrar en la carpeta %1").arg(quoted(folder));
    return {};
}

void setStepHook(StepHook hook)
{
    g_stepHook = hook;
}

} // namespace BankFolder
