// Twips to pixels and back through the screen's logical DPI, halves rounded
// to even. The suite runs on the default 96-DPI screen and again on a
// configured 144-DPI one without scaling (ORVALIS_DPI names the DPI a run
// expects); each row belongs to one of them.
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class tst_Twips : public QObject
{
    Q_OBJECT

    static int expectedDpi()
    {
        bool set = false;
        const int dpi = qEnvironmentVariableIntValue("ORVALIS_DPI", &set);
        return set ? dpi : 96;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), qreal(expectedDpi()));
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), qreal(expectedDpi()));
    }

    void twipsAndPixelsAtTheScreenDpi_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("twipsBack"); // of `pixels`
        QTest::newRow("96: one inch") << 96 << 1440.0 << 96 << 1440.0;
        QTest::newRow("96: negative") << 96 << -720.0 << -48 << -720.0;
        QTest::newRow("96: half rounds down to even") << 96 << 7.5 << 0 << 0.0;
        QTest::newRow("96: one and a half rounds up to even") << 96 << 22.5 << 2 << 30.0;
        QTest::newRow("144: one inch") << 144 << 1440.0 << 144 << 1440.0;
        QTest::newRow("144: 15 is one and a half, up to even") << 144 << 15.0 << 2 << 20.0;
        QTest::newRow("144: 25 is two and a half, down to even") << 144 << 25.0 << 2 << 20.0;
        QTest::newRow("144: label width") << 144 << 2085.0 << 208 << 2080.0;
        QTest::newRow("144: negative") << 144 << -735.0 << -74 << -740.0;
    }
    void twipsAndPixelsAtTheScreenDpi()
    {
        QFETCH(int, dpi);
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QFETCH(double, twipsBack);
        if (dpi != expectedDpi())
            QSKIP("a row of the other screen");
        QCOMPARE(Twips::toPixelsX(twips), pixels);
        QCOMPARE(Twips::toPixelsY(twips), pixels);
        QCOMPARE(Twips::fromPixelsX(pixels), twipsBack);
        QCOMPARE(Twips::fromPixelsY(pixels), twipsBack);
    }

    void aRectangleIsConvertedSideBySide_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("96") << 96 << QRect(10, 6, 139, 16);
        QTest::newRow("144") << 144 << QRect(15, 9, 208, 24);
    }
    // Label1 of the output window: 150, 90, 2085 x 240 twips.
    void aRectangleIsConvertedSideBySide()
    {
        QFETCH(int, dpi);
        QFETCH(QRect, pixels);
        if (dpi != expectedDpi())
            QSKIP("a row of the other screen");
        QCOMPARE(Twips::rect(150, 90, 2085, 240), pixels);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
