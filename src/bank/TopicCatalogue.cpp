#include "TopicCatalogue.h"

#include "CatalogueData.h"

TopicCatalogue::TopicCatalogue()
{
    static_assert(kChapters == catalogue_data::kChapters);
    static_assert(kMaxTopics == catalogue_data::kMaxTopics);
    for (size_t c = 0; c < m_rows.size(); ++c) {
        const catalogue_data::Chapter &chapter = catalogue_data::kCourse[c];
        Row &row = m_rows[c];
        row.count = static_cast<qint16>(qBound(0, chapter.topicCount, kMaxTopics));
        for (int t = 1; t <= row.count; ++t)
            row.titles[static_cast<size_t>(t)] =
                QString::fromUtf8(chapter.topics[static_cast<size_t>(t - 1)]);
    }
}

qint16 TopicCatalogue::topicCount(int chapter) const
{
    if (chapter < 1 || chapter > kChapters)
        return 0;
    return m_rows[static_cast<size_t>(chapter - 1)].count;
}

QString TopicCatalogue::topicTitle(int chapter, int topic) const
{
    if (chapter < 1 || chapter > kChapters || topic < 1 || topic > kMaxTopics)
        return QString();
    return m_rows[static_cast<size_t>(chapter - 1)].titles[static_cast<size_t>(topic)];
}

QStringList TopicCatalogue::topicTitles(int chapter) const
{
    QStringList titles;
    for (int topic = 1; topic <= topicCount(chapter); ++topic)
        titles.append(topicTitle(chapter, topic));
    return titles;
}
