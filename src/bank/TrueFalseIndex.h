#pragma once
// The record numbers of the true/false bank by chapter (1-22) and topic
// (1-10): a fixed table of 22 x 10 x 51 signed 16-bit entries. For each
// chapter and topic, slot 0 holds the number of questions (0-50) and slots 1
// to that number their record numbers in file order; other slots hold 0.

#include <QList>
#include <QtEndian>
#include <QtGlobal>
#include <array>

class TrueFalseIndex
{
public:
    static constexpr int kChapters = 22;
    static constexpr int kTopics = 10;
    static constexpr int kSlots = 50;
    static constexpr qint32 kMaxRecordNumber = 32767;

    enum class AddResult
    {
        Added,
        ChapterOutOfRange,
        TopicOutOfRange,
        RecordNumberTooLarge,
        TopicFull
    };

    TrueFalseIndex();

    void clear();
    // Puts record n last under (chapter, topic), or says why it has no room.
    // Inline: it runs once for every record of the file when it is indexed.
    AddResult add(int chapter, int topic, qint32 n)
    {
        if (chapter < 1 || chapter > kChapters)
            return AddResult::ChapterOutOfRange;
        if (topic < 1 || topic > kTopics)
            return AddResult::TopicOutOfRange;
        if (n < 1 || n > kMaxRecordNumber)
            return AddResult::RecordNumberTooLarge;
        auto &slots = m_table[chapter - 1][topic - 1];
        if (slots[0] >= kSlots)
            return AddResult::TopicFull;
        m_empty = false;
        ++slots[0];
        slots[slots[0]] = static_cast<qint16>(n);
        return AddResult::Added;
    }

    // add() for records read from the file one after the other, `count` of
    // them from record `first` at `records`, `length` bytes apart, each
    // starting with its chapter and topic; leftOut(result, n) hears of every
    // record without room. A run of records of one chapter and topic, the
    // order a bank is written in, is counted in a local variable and its
    // count stored once: a count kept in the table would make each record
    // wait for the store of the one before it.
    template <typename LeftOut>
    void addRecords(qint32 first, qint32 count, const char *records, int length, LeftOut &&leftOut)
    {
        qint16 *slots = nullptr;
        int held = 0;
        qint16 runChapter = 0;
        qint16 runTopic = 0;
        for (qint32 k = 0; k < count; ++k, records += length) {
            const qint32 n = first + k;
            const auto chapter = qFromLittleEndian<qint16>(records);
            const auto topic = qFromLittleEndian<qint16>(records + 2);
            if (slots && chapter == runChapter && topic == runTopic && held < kSlots &&
                n <= kMaxRecordNumber) {
                slots[++held] = static_cast<qint16>(n);
                continue;
            }
            if (slots)
                slots[0] = static_cast<qint16>(held);
            slots = nullptr;
            if (const AddResult added = add(chapter, topic, n); added != AddResult::Added) {
                leftOut(added, n);
                continue;
            }
            slots = m_table[chapter - 1][topic - 1].data();
            held = slots[0];
            runChapter = chapter;
            runTopic = topic;
        }
        if (slots)
            slots[0] = static_cast<qint16>(held);
    }

    // Slot 0 of (chapter, topic); 0 outside the table.
    int count(int chapter, int topic) const;
    // Slot k (0-50) of (chapter, topic); 0 outside the table.
    qint16 slot(int chapter, int topic, int k) const;
    // Slots 1 to count of (chapter, topic).
    QList<qint32> recordNumbers(int chapter, int topic) const;
    // Sum of all counts.
    qint32 indexedCount() const;

private:
    std::array<std::array<std::array<qint16, kSlots + 1>, kTopics>, kChapters> m_table;
    // Nothing added since the last clear (none yet when made): a bank is
    // opened and indexed right after it is made, and clearing the 22 KB
    // again then would be for nothing.
    bool m_empty = false;
};
