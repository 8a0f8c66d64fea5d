#include "MarkingRun.h"

#include "SheetKey.h"
#include "SheetRecords.h"

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
    if (number == 0) {
        // The exam is the one the first sheet found names.
        QStringList refused;
        number = examOfScans(request.scans, &refused, &stop);
        if (number == 0) {
            outcome.cancelled = stop;
            outcome.error = QStringLiteral("No se ha encontrado ninguna hoja de respuestas que "
                                           "leer en los escaneos.");
            if (!refused.isEmpty())
                outcome.error += u'\n' + refused.join(u'\n');
            return outcome;
        }
    }
    // The history read on this thread, by a connection of its own.
    ExamHistory history(QDir(request.folder).filePath(ExamHistory::kFileName));
    QString error = history.open(ExamHistory::Access::ReadOnly);
    std::optional<HistoryExam> exam;
    if (error.isEmpty())
        exam = history.exam(number, &error);
    std::optional<quint32> identifier;
    if (exam && error.isEmpty())
        identifier = sheetRecords::identifier(history, number, &error);
    std::optional<AnswerKey> key;
    if (identifier)
        key = sheetKey::of(*exam, *identifier, request.folder, &error);
    if (!key) {
        outcome.error =
            !exam && error.isEmpty()
                ? QStringLiteral("No hay ningún examen número %1 en el historial.").arg(number)
                : QStringLiteral("No se puede corregir el examen %1: %2.").arg(number).arg(error);
        return outcome;
    }
    outcome.exam = *exam;
    outcome.key = *key;
    QHash<QString, Decisions> decisions;
    const auto stored = sheetRecords::decisions(history, number, &error);
    for (auto sheet = stored.cbegin(); sheet != stored.cend(); ++sheet)
        decisions.insert(SheetCode{SheetLayout::kLayoutVersion, key->exam, key->identifier,
                                   sheet.key().first, sheet.key().second}
                             .sheetName(),
                         *sheet);
    const SheetMarking marking(*key, request.penalty);
    outcome.result = marking.mark(request.scans, decisions, false, progress, &stop);
    outcome.cancelled = outcome.result.stopped;
    return outcome;
}
