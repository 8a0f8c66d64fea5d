// Twips to pixels through the screen's logical DPI.
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class tst_Twips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertsThroughTheLogicalDpi_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<double>("inches");
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("one inch") << 1440.0 << 1.0;
        QTest::newRow("status panel") << 6240.0 << 6240.0 / 1440.0;
        QTest::newRow("negative") << -720.0 << -0.5;
    }
    void convertsThroughTheLogicalDpi()
    {
        QFETCH(double, twips);
        QFETCH(double, inches);
        const QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const double dpiX = screen->logicalDotsPerInchX();
        const double dpiY = screen->logicalDotsPerInchY();
        QCOMPARE(Twips::toPixelsX(twips), qRound(inches * dpiX));
        QCOMPARE(Twips::toPixelsY(twips), qRound(inches * dpiY));
        QCOMPARE(Twips::perPixelX(), 1440.0 / dpiX);
        QCOMPARE(Twips::fromPixelsY(Twips::toPixelsY(1440.0)), 1440.0 * qRound(dpiY) / dpiY);
    }

    void fifteenTwipsPerPixelAt96Dpi_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("15") << 15.0 << 1;
        QTest::newRow("1440") << 1440.0 << 96;
        QTest::newRow("half a pixel rounds to even, down") << 7.5 << 0;
        QTest::newRow("one and a half rounds to even, up") << 22.5 << 2;
        QTest::newRow("just over a half") << 7.6 << 1;
    }
    void fifteenTwipsPerPixelAt96Dpi()
    {
        if (!qFuzzyCompare(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0))
            QSKIP("the screen is not at 96 DPI");
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixelsX(twips), pixels);
        QCOMPARE(Twips::toPixelsY(twips), pixels);
        QCOMPARE(Twips::perPixelY(), 15.0);
    }

    void screenOfAWidgetWithoutScreenIsThePrimary()
    {
        QCOMPARE(Twips::screenOf(nullptr), QGuiApplication::primaryScreen());
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
