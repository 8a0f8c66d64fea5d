#include "UsedQuestions.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int kNamedInToolTip = 3;

} // namespace

QString UsedQuestions::key(QuestionKind kind, const QString &text)
{
    return QString::number(int(kind)) + QLatin1Char('|') + text.trimmed();
}

void UsedQuestions::add(QuestionKind kind, const QString &text, const QuestionUse &use)
{
    QList<QuestionUse> &uses = m_uses[key(kind, text)];
    const auto later = [](const QuestionUse &a, const QuestionUse &b) {
        return a.madeAt > b.madeAt;
    };
    uses.insert(std::upper_bound(uses.begin(), uses.end(), use, later), use);
}

QList<QuestionUse> UsedQuestions::uses(QuestionKind kind, const QString &text) const
{
    return m_uses.value(key(kind, text));
}

bool UsedQuestions::usedSince(QuestionKind kind, const QString &text, const QDateTime &since) const
{
    const auto found = m_uses.constFind(key(kind, text));
    return found != m_uses.cend() && !found->isEmpty() && found->first().madeAt >= since;
}

QString UsedQuestions::toolTip(const QList<QuestionUse> &uses)
{
    QStringList named;
    for (qsizetype i = 0; i < uses.size() && i < kNamedInToolTip; ++i) {
        // Formatted by hand: a listing composes many of these at once.
        const QDate date = uses[i].madeAt.date();
        const QString day =
            QString::asprintf("%02d/%02d/%04d", date.day(), date.month(), date.year());
        // A title that already ends in its date ("Examen del 07/12/2026")
        // is not followed by it again.
        named.append(uses[i].title.endsWith(day)
                         ? uses[i].title
                         : uses[i].title + QStringLiteral(" (%1)").arg(day));
    }
    QString tip = QStringLiteral("Usada en: ") + named.join(QStringLiteral(", "));
    if (uses.size() > kNamedInToolTip)
        tip += QStringLiteral(" y %1 más").arg(uses.size() - kNamedInToolTip);
    return tip;
}
