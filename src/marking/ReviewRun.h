#pragma once
// The review PDF of some sheets of a marking, written off the window's
// thread: each page decoded from what the marking kept (markedPage(), read
// again from its scan beyond that), drawn by reviewPdf and put on stable
// storage. The window stays free meanwhile and shows the progress.

#include "SheetMarking.h"

#include <QObject>
#include <QPointer>
#include <QThread>

class ReviewRun : public QObject
{
    Q_OBJECT

public:
    explicit ReviewRun(QObject *parent = nullptr) : QObject(parent) {}
    // A review being written is finished first: nothing is left half-made.
    ~ReviewRun() override;

    void start(MarkingResult sheets, AnswerKey key, const QString &path);
    bool isRunning() const { return m_thread != nullptr; }

Q_SIGNALS:
    void progress(int done, int total);
    // `error` (Spanish) is empty when the file was written.
    void finished(const QString &path, const QString &error);

private:
    QPointer<QThread> m_thread;
};
