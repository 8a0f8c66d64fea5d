#include "ExamFormat.h"

#include <QSettings>

namespace {

const QString kCourseKey = QStringLiteral("pdf/curso");
const QString kInstitutionKey = QStringLiteral("pdf/centro");
const QString kDateKey = QStringLiteral("pdf/fecha");
const QString kAnswerLinesKey = QStringLiteral("pdf/lineasRespuesta");
const QString kDniKey = QStringLiteral("pdf/lineaDni");
const QString kGroupKey = QStringLiteral("pdf/lineaGrupo");
const QString kInstructionsKey = QStringLiteral("pdf/instrucciones");
const QString kOddPageKey = QStringLiteral("pdf/versionEnPaginaImpar");

QSettings userSettings()
{
    return QSettings(QStringLiteral("orvalis"), QStringLiteral("orvalis"));
}

} // namespace

ExamFormat ExamFormat::load()
{
    const QSettings settings = userSettings();
    ExamFormat format;
    format.course = settings.value(kCourseKey, format.course).toString();
    format.institution = settings.value(kInstitutionKey).toString();
    format.date = settings.value(kDateKey).toString();
    format.answerLines = qBound(0, settings.value(kAnswerLinesKey, 0).toInt(), kMaxAnswerLines);
    format.dniLine = settings.value(kDniKey, false).toBool();
    format.groupLine = settings.value(kGroupKey, false).toBool();
    format.instructions = settings.value(kInstructionsKey).toString();
    format.oddPageStarts = settings.value(kOddPageKey, false).toBool();
    return format;
}

void ExamFormat::save() const
{
    QSettings settings = userSettings();
    settings.setValue(kCourseKey, course);
    settings.setValue(kInstitutionKey, institution);
    settings.setValue(kDateKey, date);
    settings.setValue(kAnswerLinesKey, answerLines);
    settings.setValue(kDniKey, dniLine);
    settings.setValue(kGroupKey, groupLine);
    settings.setValue(kInstructionsKey, instructions);
    settings.setValue(kOddPageKey, oddPageStarts);
    settings.sync();
}
