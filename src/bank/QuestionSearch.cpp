#include "QuestionSearch.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

QChar foldedChar(QChar c)
{
    if (!c.isLetterOrNumber())
        return QLatin1Char(' ');
    if (c.decompositionTag() == QChar::Canonical)
        c = c.decomposition().at(0);
    return c.toLower();
}

// Every character of Windows-1252 lies below U+0180 but a few punctuation
// marks, so a table covers nearly every character of a bank text.
const std::array<char16_t, 0x180> &foldTable()
{
    static const std::array<char16_t, 0x180> table = [] {
        std::array<char16_t, 0x180> t{};
        for (char16_t c = 0; c < t.size(); ++c)
            t[c] = foldedChar(QChar(c)).unicode();
        return t;
    }();
    return table;
}

} // namespace

namespace questionSearch {

QString foldedText(QStringView text)
{
    const auto &table = foldTable();
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        *out++ = u < table.size() ? table[u] : foldedChar(c).unicode();
    }
    return folded;
}

QString normalizedText(QStringView text)
{
    return foldedText(text).simplified();
}

QStringList queryWords(QStringView query)
{
    return foldedText(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<std::pair<qsizetype, qsizetype>> wordSpans(QStringView text, const QStringList &words)
{
    const QString folded = foldedText(text);
    QList<std::pair<qsizetype, qsizetype>> spans;
    for (const QString &word : words)
        for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1))
            spans.append({at, word.size()});
    std::sort(spans.begin(), spans.end());
    QList<std::pair<qsizetype, qsizetype>> merged;
    for (const auto &span : spans) {
        if (!merged.isEmpty() && span.first <= merged.last().first + merged.last().second) {
            auto &last = merged.last();
            last.second = std::max(last.second, span.first + span.second - last.first);
        } else {
            merged.append(span);
        }
    }
    return merged;
}

int allowedDistance(qsizetype length)
{
    return int(std::max<qsizetype>(2, length / 12));
}

bool withinDistance(QStringView a, QStringView b, int limit)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > limit)
        return false;
    // Only the cells within `limit` of the diagonal can stay within the limit;
    // the others hold `beyond`.
    const int beyond = limit + 1;
    std::vector<int> previous(size_t(m + 2), beyond);
    std::vector<int> current(size_t(m + 2), beyond);
    for (qsizetype j = 0; j <= std::min<qsizetype>(m, limit); ++j)
        previous[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        const qsizetype low = std::max<qsizetype>(1, i - limit);
        const qsizetype high = std::min<qsizetype>(m, i + limit);
        current[size_t(low - 1)] = low == 1 && i <= limit ? int(i) : beyond;
        int rowBest = current[size_t(low - 1)];
        for (qsizetype j = low; j <= high; ++j) {
            const int substitute = previous[size_t(j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1);
            const int cell =
                std::min({substitute, previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, beyond});
            current[size_t(j)] = cell;
            rowBest = std::min(rowBest, cell);
        }
        if (high < m)
            current[size_t(high + 1)] = beyond;
        if (rowBest > limit)
            return false;
        std::swap(previous, current);
    }
    return previous[size_t(m)] <= limit;
}

bool nearDuplicates(QStringView normalizedA, QStringView normalizedB)
{
    return withinDistance(normalizedA, normalizedB,
                          allowedDistance(std::max(normalizedA.size(), normalizedB.size())));
}

qsizetype firstNearDuplicate(QStringView text, const QStringList &texts)
{
    const QString normalized = normalizedText(text);
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (nearDuplicates(normalized, normalizedText(texts.at(i))))
            return i;
    return -1;
}

} // namespace questionSearch

void QuestionSearch::add(QuestionKind kind, int chapter, int topic, qint32 recordNumber,
                         const QString &text)
{
    m_entries.append({kind, chapter, topic, recordNumber, text, questionSearch::foldedText(text)});
}

QList<qsizetype> QuestionSearch::find(QStringView query) const
{
    const QStringList words = questionSearch::queryWords(query);
    QList<qsizetype> found;
    if (words.isEmpty())
        return found;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QString &folded = m_entries.at(i).folded;
        if (std::all_of(words.cbegin(), words.cend(),
                        [&folded](const QString &word) { return folded.contains(word); }))
            found.append(i);
    }
    return found;
}
