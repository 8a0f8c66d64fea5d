#include "BankExport.h"

#include "CsvExport.h"
#include "ExamExport.h"
#include "GiftExport.h"
#include "MoodleXmlExport.h"
#include "TextExport.h"

namespace bankExport {

namespace {

// The questions in the format, added to `result` with the ones the format
// cannot carry.
void writeQuestions(ExportFormat format, const QList<ExportQuestion> &questions, Result &result)
{
    result.exported = int(questions.size());
    switch (format) {
    case ExportFormat::MoodleXml: {
        QList<ExportSkip> unfit;
        result.bytes = moodleXmlExport::write(questions, &unfit);
        result.exported -= int(unfit.size());
        result.skipped.append(unfit);
        break;
    }
    case ExportFormat::Gift:
        result.bytes = giftExport::write(questions);
        break;
    case ExportFormat::Csv:
        result.bytes = csvExport::write(questions);
        break;
    case ExportFormat::Text:
        break;
    }
}

} // namespace

std::optional<ExportFormat> formatFromName(QStringView name)
{
    if (name == QLatin1String("moodle-xml"))
        return ExportFormat::MoodleXml;
    if (name == QLatin1String("gift"))
        return ExportFormat::Gift;
    if (name == QLatin1String("csv"))
        return ExportFormat::Csv;
    if (name == QLatin1String("texto"))
        return ExportFormat::Text;
    return std::nullopt;
}

Result run(const QString &folder, ExportFormat format, const QList<QuestionKind> &kinds,
           int chapter)
{
    Result result;
    ExportSet set;
    for (const QuestionKind kind : kinds) {
        const BankSnapshot snapshot = BankSnapshot::read(folder, kind);
        if (!snapshot.ok()) {
            result.error = snapshot.error();
            return result;
        }
        if (format == ExportFormat::Text) {
            Q_ASSERT(kinds.size() == 1);
            const textExport::Result text = textExport::write(snapshot, chapter);
            result.bytes = text.bytes;
            result.exported = text.questions;
            result.skipped = text.skipped;
            return result;
        }
        set.append(exportQuestions::collect(snapshot, chapter));
    }

    result.skipped = set.skipped;
    writeQuestions(format, set.questions, result);
    return result;
}

Result exam(const QString &folder, ExportFormat format, const HistoryExam &exam, int version)
{
    Result result;
    const examExport::Result questions = examExport::questions(exam, version, folder);
    result.error = questions.error;
    for (const QString &skipped : questions.skipped)
        result.skipped.append(ExportSkip{QStringLiteral("examen %1").arg(exam.id), 0, skipped});
    if (result.ok())
        writeQuestions(format, questions.questions, result);
    return result;
}

} // namespace bankExport
