#include "MarkingRun.h"

#include <QDir>
#include <QThread>

MarkingRun::MarkingRun(QObject *parent) : QObject(parent) {}

MarkingRun::~MarkingRun()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool MarkingRun::isRunning() const
{
    return m_thread != nullptr;
}

void MarkingRun::cancel()
{
    m_stop = true;
}

MarkingRun::Outcome MarkingRun::takeOutcome()
{
    return std::exchange(m_outcome, Outcome{});
}

void MarkingRun::start(const Request &request)
{
    if (m_thread)
        return;
    m_stop = false;
    m_thread = QThread::create([this, request] {
        m_outcome = run(request, m_stop, [this](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { Q_EMIT progress(done, total); }, Qt::QueuedConnection);
        });
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
        m_thread = nullptr;
        Q_EMIT finished();
    });
    m_thread->start();
}

MarkingRun::Outcome MarkingRun::run(const Request &request, const std::atomic<bool> &stop,
                                    const std::function<void(int, int)> &progress)
{
    Outcome outcome;
    qint64 number = request.exam;
    PileStart start;
    if (number == 0) {
        // The exam is the one the first sheet found names.
        start = examOfScans(request.scans, &stop);
        number = start.exam;
        if (number == 0) {
            outcome.cancelled = stop;
            outcome.error = QStringLiteral("No se ha encontrado ninguna hoja de respuestas que "
                                           "leer en los escaneos.");
            for (const Refusal &refusal : std::as_const(start.refused))
                outcome.error += u'\n' + refusal.line();
            return outcome;
        }
    }
    // The history read on this thread, by a connection of its own.
    ExamHistory history(QDir(request.folder).filePath(ExamHistory::kFileName));
    QString reason = history.open(ExamHistory::Access::ReadOnly);
    MarkingSession::Failure failure = MarkingSession::Failure::Unreadable;
    if (reason.isEmpty())
        outcome.session = MarkingSession::open(history, number, request.folder, request.penalty,
                                               &failure, &reason);
    if (!outcome.session) {
        outcome.error =
            failure == MarkingSession::Failure::NoSuchExam
                ? QStringLiteral("No hay ningún examen número %1 en el historial.").arg(number)
            : failure == MarkingSession::Failure::Exposition
                ? QStringLiteral("No se puede corregir el examen %1: el examen %1 es de "
                                 "exposición y no tiene hojas de respuestas.")
                      .arg(number)
                : QStringLiteral("No se puede corregir el examen %1: %2.").arg(number).arg(reason);
        return outcome;
    }
    outcome.session->setStudents(request.students);
    outcome.session->mark(request.scans, SheetMarking::Images::Bounded, progress, &stop,
                          start.exam != 0 ? &start : nullptr);
    outcome.cancelled = outcome.session->result().stopped;
    if (outcome.cancelled)
        outcome.session.reset();
    return outcome;
}
