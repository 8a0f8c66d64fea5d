#include "ExportQuestions.h"

#include "BankKinds.h"
#include "ChapterTitles.h"
#include "ExpositionKind.h"
#include "TopicCatalogue.h"

#include <algorithm>
#include <tuple>

QString ExportSkip::toString() const
{
    if (record == 0)
        return QStringLiteral("%1: %2").arg(fileName, reason);
    return QStringLiteral("%1, registro %2: %3").arg(fileName).arg(record).arg(reason);
}

void ExportSet::append(const ExportSet &other)
{
    questions.append(other.questions);
    skipped.append(other.skipped);
}

namespace exportQuestions {

ExportSet collect(const BankSnapshot &snapshot, int chapter)
{
    ExportSet set;
    for (const SnapshotRecord &record : snapshot.records()) {
        if (chapter != 0 && record.chapter != chapter)
            continue;
        QString reason = record.whyNotListed();
        const QString text = record.displayText();
        if (reason.isEmpty() && text.isEmpty())
            reason = QStringLiteral("el texto está vacío");
        // Exported as false it would pass for a question whose answer is No.
        if (reason.isEmpty() && snapshot.kind() == QuestionKind::TrueFalse && record.answer != 0 &&
            record.answer != 1)
            reason = QStringLiteral("la respuesta es %1 y solo valen 0 (No) y 1 (Sí)")
                         .arg(record.answer);
        if (!reason.isEmpty()) {
            set.skipped.append(ExportSkip{snapshot.fileName(), record.number, reason});
            continue;
        }
        set.questions.append(ExportQuestion{snapshot.kind(),
                                            record.number,
                                            record.chapter,
                                            record.topic,
                                            record.answer == 1,
                                            text,
                                            {},
                                            {}});
    }
    // Index order: by chapter and topic, file order within them.
    std::stable_sort(set.questions.begin(), set.questions.end(),
                     [](const ExportQuestion &a, const ExportQuestion &b) {
                         return std::tie(a.chapter, a.topic) < std::tie(b.chapter, b.topic);
                     });
    return set;
}

QStringList categoryPath(const ExportQuestion &question)
{
    if (!question.category.isEmpty())
        return question.category;
    QStringList path{QStringLiteral("Orvalis"), bankKinds::caption(question.kind),
                     QStringLiteral("Capítulo %1. %2")
                         .arg(question.chapter, 2, 10, QLatin1Char('0'))
                         .arg(ChapterTitles::title(question.chapter))};
    static const TopicCatalogue catalogue;
    if (question.kind == QuestionKind::TrueFalse)
        path.append(QStringLiteral("Tema %1. %2")
                        .arg(question.topic)
                        .arg(catalogue.topicTitle(question.chapter, question.topic)));
    return path;
}

QString questionName(const ExportQuestion &question)
{
    if (!question.name.isEmpty())
        return question.name;
    if (question.kind == QuestionKind::TrueFalse)
        return QStringLiteral("Capítulo %1, tema %2, registro %3")
            .arg(question.chapter)
            .arg(question.topic)
            .arg(question.record);
    return QStringLiteral("%1, capítulo %2, registro %3")
        .arg(expositionKindInfo(questionKind::expositionKind(question.kind)).caption)
        .arg(question.chapter)
        .arg(question.record);
}

QString categoryText(const QStringList &path)
{
    QStringList names{QStringLiteral("$course$"), QStringLiteral("top")};
    for (QString name : path) {
        name.replace(QLatin1Char('/'), QStringLiteral("//"));
        // A name may not begin or end with the separator.
        if (name.startsWith(QLatin1Char('/')))
            name.prepend(QLatin1Char(' '));
        if (name.endsWith(QLatin1Char('/')))
            name.append(QLatin1Char(' '));
        names.append(name);
    }
    return names.join(QLatin1Char('/'));
}

} // namespace exportQuestions
