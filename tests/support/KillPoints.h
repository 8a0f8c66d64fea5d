#pragma once
// Kills a program at each file-system call of one operation, to prove that
// whatever moment it dies at leaves its files usable. The program marks the
// operation by looking up the names "killpoints-begin" and "killpoints-end"
// (access()) around it; trace() lists the calls in between, and killAt()
// reruns the program under strace so that the n-th such call sends it SIGKILL.

#include "TestFiles.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace killPoints {

// One system call: its name and its ordinal among the calls of that name
// since the program started.
struct Call
{
    QString name;
    int ordinal;
    QString tag() const { return QStringLiteral("%1 #%2").arg(name).arg(ordinal); }
};

struct Trace
{
    bool completed = false;
    QList<Call> calls;                // the operation's calls, in order
    QHash<QString, int> beforeChange; // calls of each name made before it
};

// strace, or empty when it is missing or cannot trace here.
inline QString strace()
{
    const QString path = QStandardPaths::findExecutable(QStringLiteral("strace"));
    QProcess probe;
    probe.start(path, {"-qq", "-o", "/dev/null", "true"});
    return !path.isEmpty() && probe.waitForFinished(10000) && probe.exitCode() == 0 ? path
                                                                                    : QString();
}

// Starts `command` (program first), under strace with `options` when given.
inline std::unique_ptr<QProcess> start(const QStringList &command, const QStringList &options = {})
{
    auto process = std::make_unique<QProcess>();
    // LeakSanitizer cannot run under a tracer; the untraced runs check leaks.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    if (!options.isEmpty())
        process->setProcessEnvironment(environment);
    process->start(options.isEmpty() ? command.first() : strace(),
                   options.isEmpty() ? command.mid(1) : QStringList{"-qq"} + options + command);
    return process;
}

// The same, waiting for it to end.
inline std::unique_ptr<QProcess> run(const QStringList &command, const QStringList &options = {})
{
    auto process = start(command, options);
    process->waitForFinished(60000);
    return process;
}

// strace options that hold up each call of `calls` (comma-separated) by
// `delayMs`, widening the window between two steps of an operation.
inline QStringList slowed(const QString &calls, int delayMs)
{
    return {"-f",
            "-o",
            "/dev/null",
            "-e",
            "trace=" + calls,
            "-e",
            QStringLiteral("inject=%1:delay_enter=%2").arg(calls).arg(delayMs * 1000)};
}

// The calls of each name in a strace log: up to the first line holding
// `begin` (before), and after it up to the end marker (the operation's).
inline Trace readLog(const QString &log, const QString &begin = "\"killpoints-begin\"")
{
    static const QRegularExpression call(QStringLiteral("^([a-z0-9_]+)\\("));
    Trace trace;
    QHash<QString, int> seen;
    bool inside = false;
    for (const QString &line : QString::fromUtf8(testFiles::readFile(log)).split(u'\n')) {
        const QRegularExpressionMatch match = call.match(line);
        if (!match.hasMatch())
            continue;
        const int ordinal = ++seen[match.captured(1)];
        if (line.contains(QLatin1String("\"killpoints-end\"")))
            break;
        if (inside)
            trace.calls.append({match.captured(1), ordinal});
        else if ((inside = line.contains(begin)))
            trace.beforeChange = seen;
    }
    return trace;
}

// The file and descriptor calls of the operation, from a run that ends.
inline Trace trace(const QStringList &command)
{
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("trace.log"));
    const auto process = run(command, {"-o", log, "-e", "trace=%file,%desc"});
    Trace trace = readLog(log);
    trace.completed = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    return trace;
}

// Runs `command` killed at `call`, after `reset` puts its files back. Should
// the start-up make a different number of such calls than in the traced run,
// the kill would land elsewhere, so the run is made again until it lands
// where `traced` numbered it. True when it was killed there.
template <typename Reset>
bool killAt(const QStringList &command, const Trace &traced, const Call &call, Reset reset)
{
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("killed.log"));
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!reset())
            return false;
        const auto killed = run(
            command,
            {"-o", log, "-e", "trace=access," + call.name, "-e",
             QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(call.name).arg(call.ordinal)});
        if (readLog(log).beforeChange.value(call.name) == traced.beforeChange.value(call.name))
            return killed->exitStatus() == QProcess::CrashExit;
    }
    return false;
}

} // namespace killPoints
