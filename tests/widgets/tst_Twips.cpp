// Twips to pixels and back through the screen's logical DPI (96 here), halves
// rounded to even.
#include "Twips.h"

#include <QTest>

class tst_Twips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twipsAndPixelsAtTheScreenDpi_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("twipsBack"); // of `pixels`
        // clang-format off
        QTest::newRow("one inch") << 1440.0 << 96 << 1440.0;
        QTest::newRow("negative") << -720.0 << -48 << -720.0;
        QTest::newRow("half rounds down to even") << 7.5 << 0 << 0.0;
        QTest::newRow("one and a half rounds up to even") << 22.5 << 2 << 30.0;
        // clang-format on
    }
    void twipsAndPixelsAtTheScreenDpi()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QFETCH(double, twipsBack);
        QCOMPARE(Twips::toPixelsX(twips), pixels);
        QCOMPARE(Twips::toPixelsY(twips), pixels);
        QCOMPARE(Twips::fromPixelsX(pixels), twipsBack);
        QCOMPARE(Twips::fromPixelsY(pixels), twipsBack);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
