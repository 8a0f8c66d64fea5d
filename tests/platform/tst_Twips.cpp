// Twips to pixels and back at the 96 DPI test screen, halves rounded to even.
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
        QTest::newRow("one inch") << 1440.0 << 96;
        QTest::newRow("negative") << -720.0 << -48;
        QTest::newRow("half rounds down to even") << 7.5 << 0;
        QTest::newRow("one and a half rounds up to even") << 22.5 << 2;
        QTest::newRow("just over a half") << 7.6 << 1;
    }
    void twipsAndPixelsAtTheScreenDpi()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixelsX(twips), pixels);
        QCOMPARE(Twips::fromPixelsX(pixels), pixels * 15.0);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
