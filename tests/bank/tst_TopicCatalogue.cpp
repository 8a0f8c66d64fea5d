// The chapter list and the topic table: 22 numbered chapters, the number of
// topics of each and their titles.

#include "ChapterTitles.h"
#include "TopicCatalogue.h"

#include <QTest>

class tst_TopicCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chapterEntriesAreNumberedInTwoCharacters()
    {
        const QStringList entries = ChapterTitles::entries();
        QCOMPARE(entries.size(), 22);
        QCOMPARE(entries[3], QStringLiteral(" 4. La demanda"));
        QCOMPARE(entries[10], QStringLiteral("11. Decisiones sobre el precio"));
        for (int c = 1; c <= 22; ++c) {
            QVERIFY(!ChapterTitles::title(c).isEmpty());
            QCOMPARE(entries[c - 1],
                     QStringLiteral("%1. %2").arg(c, 2).arg(ChapterTitles::title(c)));
        }
    }

    void everyChapterHasItsTopics()
    {
        const int counts[22] = {9, 9, 7, 4, 6, 5, 6, 9, 7, 5, 5, 6, 5, 8, 9, 8, 9, 4, 4, 5, 4, 4};
        const TopicCatalogue catalogue;
        for (int c = 1; c <= 22; ++c) {
            QCOMPARE(catalogue.topicCount(c), qint16(counts[c - 1]));
            QVERIFY(!catalogue.topicTitle(c, counts[c - 1]).isEmpty());
            QVERIFY(catalogue.topicTitle(c, counts[c - 1] + 1).isEmpty());
        }
        QCOMPARE(catalogue.topicTitle(4, 4),
                 QString::fromUtf8("Elaboración de modelos de demanda"));
    }
};

QTEST_GUILESS_MAIN(tst_TopicCatalogue)
#include "tst_TopicCatalogue.moc"
