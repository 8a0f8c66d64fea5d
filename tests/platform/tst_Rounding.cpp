// Rounding half to even, for doubles and for exact integer quotients.

#include "Rounding.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

class tst_Rounding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void doublesRoundHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("1.5") << 1.5 << qint64(2);
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("-0.5") << -0.5 << qint64(0);
        QTest::newRow("-1.5") << -1.5 << qint64(-2);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("just below a half") << 2.4999999 << qint64(2);
        QTest::newRow("just above a half") << 2.5000001 << qint64(3);
        QTest::newRow("negative above a half") << -2.6 << qint64(-3);
        QTest::newRow("whole") << 7.0 << qint64(7);
        QTest::newRow("large half") << 4503599627370495.5 << qint64(4503599627370496);
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << qint64(0);
        QTest::newRow("too large") << 1e19 << qint64(0);
    }
    void doublesRoundHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(roundHalfToEven(value), rounded);
    }

    void quotientsRoundHalfToEven_data()
    {
        QTest::addColumn<qint64>("numerator");
        QTest::addColumn<qint64>("denominator");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("640 / 256") << qint64(640) << qint64(256) << qint64(2);
        QTest::newRow("896 / 256") << qint64(896) << qint64(256) << qint64(4);
        QTest::newRow("300 / 256") << qint64(300) << qint64(256) << qint64(1);
        QTest::newRow("0 / 152") << qint64(0) << qint64(152) << qint64(0);
        QTest::newRow("76 / 152") << qint64(76) << qint64(152) << qint64(0);
        QTest::newRow("77 / 152") << qint64(77) << qint64(152) << qint64(1);
        QTest::newRow("-640 / 256") << qint64(-640) << qint64(256) << qint64(-2);
        QTest::newRow("-384 / 256") << qint64(-384) << qint64(256) << qint64(-2);
        QTest::newRow("-383 / 256") << qint64(-383) << qint64(256) << qint64(-1);
        QTest::newRow("odd denominator") << qint64(7) << qint64(3) << qint64(2);
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << qint64(2)
                                 << qint64(4611686018427387904);
    }
    void quotientsRoundHalfToEven()
    {
        QFETCH(qint64, numerator);
        QFETCH(qint64, denominator);
        QFETCH(qint64, rounded);
        QCOMPARE(divideRoundHalfToEven(numerator, denominator), rounded);
    }

    void bothAgreeOnExactlyRepresentableQuotients()
    {
        // Denominators that are powers of two make every quotient exact in a
        // double, so the two functions must agree on all of them.
        QRandomGenerator random(1234);
        for (int i = 0; i < 10000; ++i) {
            const qint64 numerator = random.bounded(-1000000, 1000000);
            const qint64 denominator = qint64(1) << random.bounded(0, 12);
            QCOMPARE(divideRoundHalfToEven(numerator, denominator),
                     roundHalfToEven(double(numerator) / double(denominator)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Rounding)
#include "tst_Rounding.moc"
