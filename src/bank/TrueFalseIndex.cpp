#include "TrueFalseIndex.h"

namespace {
bool inTable(int chapter, int topic)
{
    return chapter >= 1 && chapter <= TrueFalseIndex::kChapters && topic >= 1 &&
           topic <= TrueFalseIndex::kTopics;
}
} // namespace

TrueFalseIndex::TrueFalseIndex()
{
    clear();
}

void TrueFalseIndex::clear()
{
    // One pass over the whole table: it is cleared on every indexing.
    if (m_empty)
        return;
    m_table = {};
    m_empty = true;
}

int TrueFalseIndex::count(int chapter, int topic) const
{
    return slot(chapter, topic, 0);
}

qint16 TrueFalseIndex::slot(int chapter, int topic, int k) const
{
    if (!inTable(chapter, topic) || k < 0 || k > kSlots)
        return 0;
    return m_table[chapter - 1][topic - 1][k];
}

QList<qint32> TrueFalseIndex::recordNumbers(int chapter, int topic) const
{
    QList<qint32> numbers;
    const int n = count(chapter, topic);
    numbers.reserve(n);
    for (int k = 1; k <= n; ++k)
        numbers.append(slot(chapter, topic, k));
    return numbers;
}

qint32 TrueFalseIndex::indexedCount() const
{
    qint32 total = 0;
    for (const auto &topics : m_table)
        for (const auto &slots : topics)
            total += slots[0];
    return total;
}
