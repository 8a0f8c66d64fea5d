#pragma once
// The table of topic titles of the two true/false windows: 22 rows (chapters)
// of 11 columns, column 0 the chapter's number of topics, columns 1 to that
// number the topic titles (without numbers), the rest empty. A topic's number
// is its column. Each window fills its own copy when it loads.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

class TopicCatalogue
{
public:
    static constexpr int kChapters = 22;
    static constexpr int kMaxTopics = 10;

    TopicCatalogue();

    // Column 0 of the chapter's row; 0 for a chapter outside 1-22.
    qint16 topicCount(int chapter) const;
    // Column `topic` (1-10) of the chapter's row; empty past the chapter's
    // topics and outside the table.
    QString topicTitle(int chapter, int topic) const;
    // Columns 1 to topicCount of the chapter's row.
    QStringList topicTitles(int chapter) const;

private:
    struct Row
    {
        qint16 count = 0;
        std::array<QString, kMaxTopics + 1> titles; // [0] unused
    };
    std::array<Row, kChapters> m_rows;
};
