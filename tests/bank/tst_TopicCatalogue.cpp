// The topic table of the true/false windows: the number of topics of every
// chapter, their titles in order, and nothing past them.

#include "TopicCatalogue.h"

#include "Cp1252.h"

#include <QSet>
#include <QTest>

class tst_TopicCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void topicsPerChapter_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("count");
        const int counts[22] = {9, 9, 7, 4, 6, 5, 6, 9, 7, 5, 5, 6, 5, 8, 9, 8, 9, 4, 4, 5, 4, 4};
        for (int c = 1; c <= 22; ++c)
            QTest::addRow("chapter %d", c) << c << counts[c - 1];
    }
    void topicsPerChapter()
    {
        QFETCH(int, chapter);
        QFETCH(int, count);
        const TopicCatalogue catalogue;
        QCOMPARE(catalogue.topicCount(chapter), qint16(count));
        const QStringList titles = catalogue.topicTitles(chapter);
        QCOMPARE(titles.size(), count);
        for (int t = 1; t <= count; ++t) {
            const QString title = catalogue.topicTitle(chapter, t);
            QCOMPARE(title, titles[t - 1]);
            QVERIFY2(!title.isEmpty() && title == title.trimmed(), qPrintable(title));
            QVERIFY2(!title.front().isDigit(), qPrintable(title));
            QVERIFY2(Cp1252::canEncode(title), qPrintable(title));
        }
        QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), count);
        // Columns past the chapter's topics, up to the table's tenth, are empty.
        for (int t = count + 1; t <= 11; ++t)
            QVERIFY(catalogue.topicTitle(chapter, t).isEmpty());
        QVERIFY(catalogue.topicTitle(chapter, 0).isEmpty());
    }

    void fixedTitleAndTotal()
    {
        const TopicCatalogue catalogue;
        QCOMPARE(catalogue.topicTitle(4, 4),
                 QString::fromUtf8("Elaboración de modelos de demanda"));
        QCOMPARE(catalogue.totalTopics(), 138);
    }

    void outsideTheTableIsEmpty()
    {
        const TopicCatalogue catalogue;
        QCOMPARE(catalogue.topicCount(0), qint16(0));
        QCOMPARE(catalogue.topicCount(23), qint16(0));
        QVERIFY(catalogue.topicTitle(23, 1).isEmpty());
        QVERIFY(catalogue.topicTitles(-1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_TopicCatalogue)
#include "tst_TopicCatalogue.moc"
