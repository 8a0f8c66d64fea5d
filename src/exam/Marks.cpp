#include "Marks.h"

#include <algorithm>
#include <cmath>

namespace marks {

std::optional<Mark> fromWord(const QString &word)
{
    const QString folded = word.trimmed().toLower();
    if (folded == u"s" || folded == u"sí" || folded == u"si")
        return Mark::Yes;
    if (folded == u"n" || folded == u"no")
        return Mark::No;
    if (folded == u"-" || folded == u"en blanco" || folded == u"blanco")
        return Mark::Blank;
    return std::nullopt;
}

Tally tally(const QString &answers, const QList<bool> &key)
{
    Tally tally;
    for (qsizetype n = 0; n < answers.size(); ++n) {
        const Mark mark = of(answers[n]);
        if (mark == Mark::Yes || mark == Mark::No)
            ++((mark == Mark::Yes) == key.value(n) ? tally.right : tally.wrong);
        else if (mark == Mark::Blank)
            ++tally.blank;
        else
            ++tally.unsettled;
    }
    return tally;
}

double points(int right, int wrong, double penalty)
{
    return std::max(0.0, right - penalty * wrong);
}

double grade(double points, int questions)
{
    return questions == 0 ? 0 : std::round(1000.0 * points / questions) / 100.0;
}

} // namespace marks
