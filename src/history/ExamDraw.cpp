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
        name += line.topicName.isEmpty() ? QStringLiteral(", tema %1").arg(line.topic)
                                         : QStringLiteral(", «%1»").arg(line.topicName);
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

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 ").arg(count) + QString::fromUtf8(count == 1 ? one : many);
}

struct Unavailable
{
    qsizetype selected = 0; // in the selection already
    qsizetype drawn = 0;    // drawn by an earlier line of the plan
    qsizetype used = 0;     // used by a recent exam
};

// "se piden 5 y quedan 3 (2 ya seleccionadas, 1 usada en los últimos meses)".
QString shortage(const DrawLine &line, qsizetype left, const Unavailable &out)
{
    QStringList taken;
    if (out.selected > 0)
        taken << counted(out.selected, "ya seleccionada", "ya seleccionadas");
    if (out.drawn > 0)
        taken << counted(out.drawn, "ya elegida en otra línea del plan",
                         "ya elegidas en otras líneas del plan");
    if (out.used > 0)
        taken << counted(out.used, "usada en los últimos meses", "usadas en los últimos meses");
    QString text = QStringLiteral("%1: se piden %2 y ").arg(lineName(line)).arg(line.count) +
                   (taken.isEmpty() ? QStringLiteral("hay %1").arg(left)
                                    : QStringLiteral("quedan %1").arg(left));
    if (!taken.isEmpty())
        text += QStringLiteral(" (") + taken.join(QStringLiteral(", ")) + QLatin1Char(')');
    return text;
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
    QSet<QString> drawn;
    const bool leaveUsedOut = plan.used && plan.usedSince.isValid();

    DrawOutcome outcome;
    ExamVersions::SplitMix64 generator(plan.seed);
    for (const DrawLine &line : lines) {
        if (line.count <= 0)
            continue;
        QList<DrawQuestion> eligible;
        QSet<QString> listed;
        Unavailable out;
        for (const DrawQuestion &candidate : line.candidates) {
            const QString k = key(candidate.kind, candidate.text);
            if (listed.contains(k))
                continue; // the same text twice in the bank is one question
            if (line.difficulty != Difficulty::Any &&
                difficultyOf(plan.statistics, candidate.kind, candidate.text) != line.difficulty)
                continue; // not of the difficulty the line asks for
            listed.insert(k);
            if (taken.contains(k))
                ++out.selected;
            else if (drawn.contains(k))
                ++out.drawn;
            else if (leaveUsedOut &&
                     plan.used->usedSince(candidate.kind, candidate.text, plan.usedSince))
                ++out.used;
            else
                eligible.append(candidate);
        }
        if (eligible.size() < line.count)
            outcome.shortages.append(shortage(line, eligible.size(), out));
        const QList<qsizetype> order = ExamVersions::shuffledOrder(eligible.size(), generator);
        for (qsizetype i = 0; i < std::min<qsizetype>(line.count, order.size()); ++i) {
            const DrawQuestion &chosen = eligible.at(order.at(i));
            drawn.insert(key(chosen.kind, chosen.text));
            outcome.drawn.append(chosen);
        }
    }
    std::stable_sort(
        outcome.drawn.begin(), outcome.drawn.end(),
        [](const DrawQuestion &a, const DrawQuestion &b) { return placeOf(a) < placeOf(b); });
    return outcome;
}

} // namespace ExamDraw
