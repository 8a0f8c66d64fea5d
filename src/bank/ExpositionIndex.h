#pragma once
// The record numbers of one exposition kind by chapter: a fixed table of 22
// rows, each of slot 0 (the chapter's count, 0 to the kind's maximum) and
// slots 1 to the maximum (record numbers in file order; other slots 0).

#include "ExpositionKind.h"

#include <QList>
#include <QtGlobal>
#include <vector>

class ExpositionIndex
{
public:
    static constexpr int kChapters = 22;

    enum class AddResult
    {
        Added,
        ChapterOutOfRange,
        ChapterFull
    };

    explicit ExpositionIndex(ExpositionKind kind = ExpositionKind::Conceptual);

    ExpositionKind kind() const { return m_kind; }
    int maxPerChapter() const { return m_max; }

    void clear();
    // Puts record n last under the chapter, or says why it has no room.
    // Inline: it runs once for every record of the file when it is indexed.
    AddResult add(int chapter, qint32 n)
    {
        if (chapter < 1 || chapter > kChapters)
            return AddResult::ChapterOutOfRange;
        qint32 &count = at(chapter, 0);
        if (count >= m_max)
            return AddResult::ChapterFull;
        m_empty = false;
        ++count;
        at(chapter, count) = n;
        return AddResult::Added;
    }

    // Slot 0 of the chapter; 0 outside the table.
    int count(int chapter) const;
    // Slot k (0 to the maximum) of the chapter; 0 outside the table.
    qint32 slot(int chapter, int k) const;
    // Slots 1 to count of the chapter.
    QList<qint32> recordNumbers(int chapter) const;
    qint32 indexedCount() const;

private:
    qint32 &at(int chapter, int k)
    {
        return m_table[static_cast<size_t>(chapter - 1) * static_cast<size_t>(m_max + 1) +
                       static_cast<size_t>(k)];
    }

    ExpositionKind m_kind;
    int m_max;
    std::vector<qint32> m_table; // kChapters rows of m_max + 1 entries
    // Nothing added since the table was made or last cleared: opening a bank
    // clears its index before the file is opened and again when it is read.
    bool m_empty = true;
};
