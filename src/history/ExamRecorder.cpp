#include "ExamRecorder.h"

namespace {

const QString kNotRecorded = QStringLiteral("No se ha podido anotar el examen en el historial: ");

} // namespace

void ExamRecorder::begin()
{
    m_recordedThisVisit = false;
    m_failureTold = false;
    m_title.clear();
}

QString ExamRecorder::sent(const ExamDescription &exam)
{
    HistoryExam entry = HistoryExam::from(exam);
    if (m_entry.id > 0 && (m_recordedThisVisit || entry.questions == m_entry.questions)) {
        entry.id = m_entry.id;
        entry.madeAt = m_entry.madeAt;
        entry.title = m_entry.title;
    }
    if (!m_title.isEmpty())
        entry.title = m_title;
    ExamHistory history;
    const QString error = history.record(entry);
    QStringList messages{history.takeSetAsideNote()};
    if (error.isEmpty()) {
        m_entry = entry;
        m_recordedThisVisit = true;
        m_title.clear();
    } else if (!std::exchange(m_failureTold, true)) {
        messages.append(kNotRecorded + error + QLatin1Char('.'));
    }
    messages.removeAll(QString());
    return messages.join(QStringLiteral("\n\n"));
}

QString ExamRecorder::title() const
{
    if (m_recordedThisVisit)
        return m_entry.title;
    return m_title.isEmpty() ? HistoryExam::defaultTitle(QDateTime::currentDateTime()) : m_title;
}

QString ExamRecorder::rename(const QString &title)
{
    if (title.trimmed().isEmpty())
        return {};
    if (!m_recordedThisVisit) {
        m_title = title.trimmed();
        return {};
    }
    ExamHistory history;
    QString error = history.open();
    if (error.isEmpty())
        error = history.rename(m_entry.id, title);
    const QString note = history.takeSetAsideNote();
    if (error.isEmpty()) {
        m_entry.title = title.trimmed();
        return note;
    }
    return (note.isEmpty() ? QString() : note + QStringLiteral("\n\n")) +
           QStringLiteral("No se ha podido cambiar el título en el historial: ") + error +
           QLatin1Char('.');
}
