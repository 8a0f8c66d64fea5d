#pragma once
// An export of a bank folder (orvalis-banco exportar): the chosen kinds and
// chapter read from the bank files, or an exam of its history, written in one
// of the four formats, with every record or question left out named.

#include "ExamHistory.h"
#include "ExportQuestions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

enum class ExportFormat
{
    MoodleXml,
    Gift,
    Csv,
    Text
};

namespace bankExport {

// "moodle-xml", "gift", "csv", "texto".
std::optional<ExportFormat> formatFromName(QStringView name);

struct Result
{
    QByteArray bytes;
    int exported = 0;
    QList<ExportSkip> skipped;
    QString error; // Spanish: a bank file could not be read; nothing exported

    bool ok() const { return error.isEmpty(); }
};

// chapter 0 takes every chapter. The text format takes one kind only.
Result run(const QString &folder, ExportFormat format, const QList<QuestionKind> &kinds,
           int chapter = 0);
// An exam of the history (ExamExport) as Moodle XML or GIFT, in the order of
// version `version` (0 for A); a question left out is named "examen N: …".
Result exam(const QString &folder, ExportFormat format, const HistoryExam &exam, int version);

} // namespace bankExport
