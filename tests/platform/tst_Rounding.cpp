// Rounding half to even, for doubles and for exact integer quotients.

#include "Rounding.h"

#include <QTest>

class tst_Rounding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<qint64>("numerator");
        QTest::addColumn<qint64>("denominator");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("2.5") << 640ll << 256ll << 2ll;
        QTest::newRow("3.5") << 896ll << 256ll << 4ll;
        QTest::newRow("-2.5") << -640ll << 256ll << -2ll;
        QTest::newRow("7 / 3") << 7ll << 3ll << 2ll;
    }
    void roundsHalfToEven()
    {
        QFETCH(qint64, numerator);
        QFETCH(qint64, denominator);
        QFETCH(qint64, rounded);
        QCOMPARE(divideRoundHalfToEven(numerator, denominator), rounded);
        QCOMPARE(roundHalfToEven(double(numerator) / double(denominator)), rounded);
    }
};

QTEST_GUILESS_MAIN(tst_Rounding)
#include "tst_Rounding.moc"
