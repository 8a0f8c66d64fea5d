#pragma once
// One marking of a pile of scans for the marking window, run off the
// window's thread through the marking engine: the exam found (chosen, or
// named by the first sheet's QR code), its session opened on a history
// connection of the run's own, every page read on every core, each sheet's
// straightened pages kept (within SheetMarking::kKeptBytes) for
// the crops and the review. It writes nothing: the window records the
// session in the history once it is whole, so a run cancelled at any moment
// leaves the history as it was.
//
// The run drives the engine from a thread of its own, not one of the
// pool's, so that every pool thread reads pages as in orvalis-banco corregir.

#include "MarkingSession.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <optional>

class QThread;

class MarkingRun : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QStringList scans;
        qint64 exam = 0; // 0: the exam the first sheet's code names
        double penalty = 1.0;
        QString folder = QStringLiteral(".");
        QHash<QString, QString> students;
    };

    struct Outcome
    {
        QString error; // Spanish; nothing was marked
        bool cancelled = false;
        std::optional<MarkingSession> session;
    };

    explicit MarkingRun(QObject *parent = nullptr);
    ~MarkingRun() override;

    void start(const Request &request);
    // Stops reading pages; finished() follows with a cancelled outcome.
    void cancel();
    bool isRunning() const;
    Outcome takeOutcome();

    // The whole run, on the calling thread (what start() runs).
    static Outcome run(const Request &request, const std::atomic<bool> &stop,
                       const std::function<void(int, int)> &progress);

Q_SIGNALS:
    void progress(int done, int total);
    void finished();

private:
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    Outcome m_outcome;
};
