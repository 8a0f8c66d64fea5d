#include "ExpositionIndex.h"

ExpositionIndex::ExpositionIndex(ExpositionKind kind)
    : m_kind(kind), m_max(expositionKindInfo(kind).maxPerChapter),
      m_table(static_cast<size_t>(kChapters) * static_cast<size_t>(m_max + 1), 0)
{
}

void ExpositionIndex::clear()
{
    if (m_empty)
        return;
    std::fill(m_table.begin(), m_table.end(), 0);
    m_empty = true;
}

int ExpositionIndex::count(int chapter) const
{
    return slot(chapter, 0);
}

qint32 ExpositionIndex::slot(int chapter, int k) const
{
    if (chapter < 1 || chapter > kChapters || k < 0 || k > m_max)
        return 0;
    return m_table[static_cast<size_t>(chapter - 1) * static_cast<size_t>(m_max + 1) +
                   static_cast<size_t>(k)];
}

QList<qint32> ExpositionIndex::recordNumbers(int chapter) const
{
    QList<qint32> numbers;
    const int n = count(chapter);
    numbers.reserve(n);
    for (int k = 1; k <= n; ++k)
        numbers.append(slot(chapter, k));
    return numbers;
}

qint32 ExpositionIndex::indexedCount() const
{
    qint32 total = 0;
    for (int chapter = 1; chapter <= kChapters; ++chapter)
        total += count(chapter);
    return total;
}
