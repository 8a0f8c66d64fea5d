// When a question's discrimination earns a warning: the sheets it rests on
// and how far below zero it lies, at the boundaries as the teacher reads them.
#include "Discrimination.h"

#include <QtTest>

#include <cmath>

class tst_Discrimination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyAClearlyNegativeFigureOverEnoughSheetsIsFlagged_data()
    {
        QTest::addColumn<int>("sheets");
        QTest::addColumn<double>("value"); // NaN: not worked out
        QTest::addColumn<bool>("flagged");
        QTest::newRow("29 sheets, far below") << 29 << -0.90 << false;
        QTest::newRow("30 sheets, at -0,20") << 30 << -0.20 << true;
        QTest::newRow("30 sheets, reads -0,20") << 30 << -0.195 << true;
        QTest::newRow("30 sheets, reads -0,19") << 30 << -0.1949 << false;
        QTest::newRow("many sheets, -0,01") << 400 << -0.01 << false;
        QTest::newRow("many sheets, not worked out") << 400 << qQNaN() << false;
    }
    void onlyAClearlyNegativeFigureOverEnoughSheetsIsFlagged()
    {
        QFETCH(int, sheets);
        QFETCH(double, value);
        QFETCH(bool, flagged);
        const std::optional<double> figure =
            std::isnan(value) ? std::nullopt : std::optional<double>(value);
        QCOMPARE(discrimination::clearlyNegative(sheets, figure), flagged);
    }
};

QTEST_GUILESS_MAIN(tst_Discrimination)
#include "tst_Discrimination.moc"
