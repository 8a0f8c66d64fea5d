// The 22 chapter list entries: numbered in order, the number right-aligned
// in two characters, ". " and a title.

#include "ChapterTitles.h"

#include <QRegularExpression>
#include <QTest>

class tst_ChapterTitles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedEntries_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<QString>("entry");
        QTest::newRow("4") << 4 << QStringLiteral(" 4. La demanda");
        QTest::newRow("11") << 11 << QStringLiteral("11. Decisiones sobre el precio");
    }
    void fixedEntries()
    {
        QFETCH(int, chapter);
        QFETCH(QString, entry);
        QCOMPARE(ChapterTitles::entry(chapter), entry);
        QCOMPARE(ChapterTitles::entries().at(chapter - 1), entry);
    }

    void everyEntryCarriesItsPositionAsNumber()
    {
        const QStringList entries = ChapterTitles::entries();
        QCOMPARE(entries.size(), 22);
        const QRegularExpression format(QStringLiteral("^([ 1-9][0-9])\\. (\\S.*\\S)$"));
        for (int p = 0; p < entries.size(); ++p) {
            const QRegularExpressionMatch match = format.match(entries[p]);
            QVERIFY2(match.hasMatch(), qPrintable(entries[p]));
            QCOMPARE(match.captured(1).trimmed().toInt(), p + 1);
            QCOMPARE(match.captured(2), ChapterTitles::title(p + 1));
            QVERIFY(!match.captured(2).contains(QRegularExpression(QStringLiteral("^\\d"))));
        }
        QVERIFY(entries[8].startsWith(QStringLiteral(" 9. ")));
        QVERIFY(entries[9].startsWith(QStringLiteral("10. ")));
        QCOMPARE(QSet<QString>(entries.begin(), entries.end()).size(), 22);
    }

    void outsideTheListIsEmpty_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::newRow("0") << 0;
        QTest::newRow("23") << 23;
        QTest::newRow("-1") << -1;
    }
    void outsideTheListIsEmpty()
    {
        QFETCH(int, chapter);
        QVERIFY(ChapterTitles::entry(chapter).isEmpty());
        QVERIFY(ChapterTitles::title(chapter).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ChapterTitles)
#include "tst_ChapterTitles.moc"
