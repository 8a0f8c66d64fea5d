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
        QTest::newRow("2.5") << qint64(640) << qint64(256) << qint64(2);
        QTest::newRow("3.5") << qint64(896) << qint64(256) << qint64(4);
        QTest::newRow("-2.5") << qint64(-640) << qint64(256) << qint64(-2);
        QTest::newRow("7 / 3") << qint64(7) << qint64(3) << qint64(2);
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
