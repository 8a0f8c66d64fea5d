#include "QuestionSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
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

namespace {

// How far a[i...] and b[j...] agree: the first position from i where they
// differ (or where one ends), comparing four characters at a time.
qsizetype slide(const char16_t *a, qsizetype n, const char16_t *b, qsizetype m, qsizetype i,
                qsizetype j)
{
    const qsizetype shift = j - i;
    while (i + 4 <= n && i + shift + 4 <= m) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i + shift, sizeof y);
        if (x != y) {
            const std::uint64_t differ = x ^ y;
            const int bits = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                        : std::countl_zero(differ);
            return i + bits / 16;
        }
        i += 4;
    }
    while (i < n && i + shift < m && a[i] == b[i + shift])
        ++i;
    return i;
}

} // namespace

// Ukkonen's diagonal method: for d = 0, 1, ... edits, the furthest place of
// a each diagonal (j - i) reaches, each step sliding along the characters the
// two texts share. It stops at the limit, so it costs about the length of the
// texts plus limit squared for texts as alike as near-duplicates are, and
// never more than the band of 2 x limit + 1 diagonals a cell at a time.
bool withinDistance(QStringView a, QStringView b, int limit)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (limit < 0 || std::abs(n - m) > limit)
        return false;
    const auto *pa = reinterpret_cast<const char16_t *>(a.data());
    const auto *pb = reinterpret_cast<const char16_t *>(b.data());
    const qsizetype target = m - n; // the diagonal of the last cell
    constexpr qsizetype kNone = std::numeric_limits<qsizetype>::min() / 2;
    // Diagonal k at index k + limit + 1; one spare slot on either side.
    const qsizetype offset = limit + 1;
    std::vector<qsizetype> previous(size_t(2 * limit + 3), kNone);
    std::vector<qsizetype> current(size_t(2 * limit + 3), kNone);
    previous[size_t(offset)] = slide(pa, n, pb, m, 0, 0);
    if (target == 0 && previous[size_t(offset)] >= n)
        return true;
    for (qsizetype d = 1; d <= limit; ++d) {
        for (qsizetype k = -d; k <= d; ++k) {
            qsizetype &cell = current[size_t(k + offset)];
            cell = kNone;
            if (k < -n || k > m)
                continue;
            qsizetype best = kNone;
            if (k > -d && k < d && previous[size_t(k + offset)] != kNone)
                best = previous[size_t(k + offset)] + 1; // a character changed
            if (k - 1 >= -(d - 1) && previous[size_t(k - 1 + offset)] != kNone)
                best = std::max(best, previous[size_t(k - 1 + offset)]); // one inserted
            if (k + 1 <= d - 1 && previous[size_t(k + 1 + offset)] != kNone)
                best = std::max(best, previous[size_t(k + 1 + offset)] + 1); // one removed
            if (best == kNone)
                continue;
            best = std::min({best, n, m - k});
            cell = slide(pa, n, pb, m, best, best + k);
        }
        if (target >= -d && target <= d && current[size_t(target + offset)] >= n)
            return true;
        std::swap(previous, current);
    }
    return false;
}

bool nearDuplicates(QStringView normalizedA, QStringView normalizedB)
{
    return withinDistance(normalizedA, normalizedB,
                          allowedDistance(std::max(normalizedA.size(), normalizedB.size())));
}

QString differenceExcerpt(QStringView text, QStringView other, qsizetype shown)
{
    if (text.size() <= shown)
        return text.toString();
    qsizetype same = 0;
    while (same < text.size() && same < other.size() && text[same] == other[same])
        ++same;
    // A third of the room before the difference, the rest after it, within
    // the text; cut at blanks so that no word is shown in part.
    qsizetype start = qBound<qsizetype>(0, same - shown / 3, text.size() - shown);
    if (start > 0)
        start = text.lastIndexOf(u' ', start - 1) + 1; // 0 when there is no blank before
    qsizetype end = qMin(text.size(), start + shown);
    if (end < text.size()) {
        const qsizetype blank = text.lastIndexOf(u' ', end);
        if (blank > same)
            end = blank;
    }
    QString excerpt = text.mid(start, end - start).trimmed().toString();
    if (start > 0)
        excerpt.prepend(u'…');
    if (end < text.size())
        excerpt.append(u'…');
    return excerpt;
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
