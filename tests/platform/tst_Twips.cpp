// Twips to pixels and back at the 96 DPI of the test screen: 15 twips a
// pixel, exact halves rounded to the even pixel.
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class tst_Twips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fifteenTwipsPerPixelAt96Dpi_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0.0 << 0;
        QTest::newRow("15") << 15.0 << 1;
        QTest::newRow("one inch") << 1440.0 << 96;
        QTest::newRow("status panel") << 6240.0 << 416;
        QTest::newRow("negative") << -720.0 << -48;
        QTest::newRow("half a pixel rounds to even, down") << 7.5 << 0;
        QTest::newRow("one and a half rounds to even, up") << 22.5 << 2;
        QTest::newRow("just over a half") << 7.6 << 1;
    }
    void fifteenTwipsPerPixelAt96Dpi()
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        if (!qFuzzyCompare(screen->logicalDotsPerInchX(), 96.0) ||
            !qFuzzyCompare(screen->logicalDotsPerInchY(), 96.0))
            QSKIP("the screen is not at 96 DPI");
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixelsX(twips), pixels);
        QCOMPARE(Twips::toPixelsY(twips), pixels);
        QCOMPARE(Twips::fromPixelsX(pixels), pixels * 15.0);
        QCOMPARE(Twips::fromPixelsY(pixels), pixels * 15.0);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
