#include "ExamDraw.h"

#include "ExamVersions.h"
#include "MarkedSheets.h"
#include "UsedQuestions.h"

#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

// The same text of the same kind is the same question, wherever it is filed.
QString key(QuestionKind kind, const QString &text)
{
    return QString::number(int(kind)) + QLatin1Char('|') + text.trimmed();
}

QString lineName(const DrawLine &line)
{
    QString name = QStringLiteral("Capítulo %1").arg(line.chapter);
    if (line.topic > 0)
        name += QStringLiteral(", tema %1").arg(line.topic);
    static const char *const bands[] = {"", " (fáciles)", " (de dificultad media)", " (difíciles)",
                                        " (sin corregir)"};
    name += QString::fromUtf8(bands[int(line.difficulty)]);
    switch (line.kind) {
    case QuestionKind::Conceptual:
        return name + QStringLiteral(" (conceptuales)");
    case QuestionKind::Practical:
        return name + QStringLiteral(" (prácticas)");
    case QuestionKind::Brief:
        return name + QStringLiteral(" (breves)");
    case QuestionKind::TrueFalse:
        break;
    }
    return name;
}

auto placeOf(const DrawQuestion &q)
{
    return std::tuple(int(q.kind), q.chapter, q.topic, q.position);
}

} // namespace

namespace ExamDraw {

QDateTime cutOff(const QDateTime &now, int months)
{
    return months > 0 ? now.addMonths(-months) : QDateTime();
}

Difficulty difficultyOf(const QuestionStatistics *statistics, QuestionKind kind,
                        const QString &text)
{
    const ItemAnalysis::Pooled pooled =
        statistics ? statistics->pooled(kind, text) : ItemAnalysis::Pooled{};
    if (pooled.sheets == 0)
        return Difficulty::Unknown;
    const double facility = double(pooled.right) / pooled.sheets;
    return facility >= 0.75   ? Difficulty::Easy
           : facility >= 0.40 ? Difficulty::Medium
                              : Difficulty::Hard;
}

DrawOutcome draw(const DrawPlan &plan)
{
    // A chapter's topics first, then what the chapter adds beyond them.
    QList<DrawLine> lines = plan.lines;
    std::stable_sort(lines.begin(), lines.end(), [](const DrawLine &a, const DrawLine &b) {
        return std::tuple(int(a.kind), a.chapter, a.topic == 0, a.topic) <
               std::tuple(int(b.kind), b.chapter, b.topic == 0, b.topic);
    });

    QSet<QString> taken;
    for (const auto &[kind, text] : plan.selected)
        taken.insert(key(kind, text));
    const bool leaveUsedOut = plan.used && plan.usedSince.isValid();

    DrawOutcome outcome;
    ExamVersions::SplitMix64 generator(plan.seed);
    for (const DrawLine &line : lines) {
        if (line.count <= 0)
            continue;
        QList<DrawQuestion> eligible;
        QSet<QString> listed;
        for (const DrawQuestion &candidate : line.candidates) {
            const QString k = key(candidate.kind, candidate.text);
            if (taken.contains(k) || listed.contains(k) ||
                (leaveUsedOut &&
                 plan.used->usedSince(candidate.kind, candidate.text, plan.usedSince)) ||
                (line.difficulty != Difficulty::Any &&
                 difficultyOf(plan.statistics, candidate.kind, candidate.text) != line.difficulty))
                continue;
            listed.insert(k);
            eligible.append(candidate);
        }
        if (eligible.size() < line.count)
            outcome.shortages.append(QStringLiteral("%1: se piden %2 y hay %3 sin usar")
                                         .arg(lineName(line))
                                         .arg(line.count)
                                         .arg(eligible.size()));
        const QList<qsizetype> order = ExamVersions::shuffledOrder(eligible.size(), generator);
        for (qsizetype i = 0; i < std::min<qsizetype>(line.count, order.size()); ++i) {
            const DrawQuestion &chosen = eligible.at(order.at(i));
            taken.insert(key(chosen.kind, chosen.text));
            outcome.drawn.append(chosen);
        }
    }
    std::stable_sort(
        outcome.drawn.begin(), outcome.drawn.end(),
        [](const DrawQuestion &a, const DrawQuestion &b) { return placeOf(a) < placeOf(b); });
    return outcome;
}

} // namespace ExamDraw
