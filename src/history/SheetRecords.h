#pragma once
// The answer sheets of the exam history: the random identifier each exam
// carries on its sheets (so that exam 3 of another bank's history is never
// taken for this one's), and each sheet read with its DNI, version, serial,
// the answers read and the teacher's decisions, linked to the exam and to
// its questions. Kept in the history's own database through ExamHistory:
// these tables are one step of its schema's upgrades (addTables).

#include "ExamHistory.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <optional>

namespace sheetRecords {

// The schema step that adds the sheets' tables and gives every exam an
// identifier (and every later exam one as it is recorded). False leaves the
// error in `query`.
bool addTables(QSqlQuery &query);

struct StoredSheet
{
    int version = 0; // 0 for A
    int serial = 0;
    QString dni;
    // One character a question, in the version's order: S, N, - (blank),
    // ? (doubtful), X (both marked), as read.
    QString answers;
    // The position of each of them in the exam as the teacher made it (1-based).
    QList<int> positions;
    QString file;
    int page = 0;
};

// item → value: "dni" → "12345678", "7" (question 7) → "S", "N" or "-".
using Decisions = QHash<QString, QString>;

// The identifier of exam `exam`; nullopt with the reason when it cannot be read.
std::optional<quint32> identifier(ExamHistory &history, qint64 exam, QString *error);

// Writes the sheets read of exam `exam` (over those of the same version
// and serial) and the decisions by sheet (version, serial), in one change.
QString store(ExamHistory &history, qint64 exam, const QList<StoredSheet> &sheets,
              const QHash<QPair<int, int>, Decisions> &decisions);

// The decisions stored for the sheets of exam `exam`, by (version, serial).
QHash<QPair<int, int>, Decisions> decisions(ExamHistory &history, qint64 exam, QString *error);

// The marking stored last: its exam, the scans its sheets were found in
// (in the order they were stored) and how many sheets; nullopt for a
// history without sheets or one that cannot be read.
struct LastMarking
{
    qint64 exam = 0;
    QStringList files;
    int sheets = 0;
};
std::optional<LastMarking> lastMarking(ExamHistory &history);

} // namespace sheetRecords
