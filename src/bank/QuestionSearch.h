#pragma once
// Finding questions by a few words, and telling when two questions are
// near-duplicates. Both work on a folded form of the text: lower case,
// accents removed (á -> a, ñ -> n, ü -> u), every character that is neither a
// letter nor a digit made a space. Folding keeps the length, so a word found
// in the folded text is marked at the same place in the text shown.
//
// A search finds the questions whose folded text contains every word typed,
// anywhere (a word may be the start or the middle of a longer one).
//
// Two questions are near-duplicates when their normalized texts (folded,
// spaces collapsed and trimmed) are at a Levenshtein distance of at most one
// character in twelve of the longer text, and at least two: punctuation,
// letter case and accents never count, and a changed article or a letter
// typed wrong is within the limit, while a changed concept word is not
// ("precio" for "cruzada" in a 45-character question is 6 edits, above 3).

#include "QuestionKind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>

namespace questionSearch {

QString foldedText(QStringView text);
QString normalizedText(QStringView text);
// The folded words of what the teacher typed.
QStringList queryWords(QStringView query);
// Where the words occur in `text`: (start, length) pairs, in order, those that
// overlap merged.
QList<std::pair<qsizetype, qsizetype>> wordSpans(QStringView text, const QStringList &words);

// The edits allowed between two normalized texts the longer of which has
// `length` characters.
int allowedDistance(qsizetype length);
// Whether the Levenshtein distance of a and b is at most `limit`.
bool withinDistance(QStringView a, QStringView b, int limit);
// Whether two normalized texts are near-duplicates.
bool nearDuplicates(QStringView normalizedA, QStringView normalizedB);
// `text` (as shown) in about `shown` characters, cut with "…" around where it
// first differs from `other`, so that two near-identical questions quoted
// side by side show what sets them apart; whole when it fits.
QString differenceExcerpt(QStringView text, QStringView other, qsizetype shown);
// The first of `texts` that is a near-duplicate of `text` (both as shown),
// or -1.
qsizetype firstNearDuplicate(QStringView text, const QStringList &texts);

} // namespace questionSearch

struct SearchEntry
{
    QuestionKind kind = QuestionKind::TrueFalse;
    int chapter = 0;
    int topic = 0; // true/false only
    qint32 recordNumber = 0;
    QString text;   // as shown
    QString folded; // foldedText(text)
};

class QuestionSearch
{
public:
    // A search starts from the third character typed.
    static constexpr int kMinimumQueryLength = 3;

    void clear() { m_entries.clear(); }
    void add(QuestionKind kind, int chapter, int topic, qint32 recordNumber, const QString &text);
    qsizetype size() const { return m_entries.size(); }
    const SearchEntry &entry(qsizetype i) const { return m_entries.at(i); }

    // The entries, in the order added, whose text contains every word of
    // `query`; none for a query without words.
    QList<qsizetype> find(QStringView query) const;

private:
    QList<SearchEntry> m_entries;
};
