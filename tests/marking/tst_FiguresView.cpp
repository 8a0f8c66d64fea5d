// The figures part of the marking window on its own: every figure shows
// whole, and the chart counts sheets in whole numbers, or shows no numbers
// when there are no grades.
#include "FiguresView.h"

#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QTableWidget>
#include <QtTest>

class tst_FiguresView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFigureShowsAndTheChartCountsWholeSheets_data()
    {
        QTest::addColumn<int>("most"); // sheets in the fullest band
        QTest::addColumn<QList<int>>("ticks");
        QTest::newRow("no grades") << 0 << QList<int>();
        QTest::newRow("one sheet") << 1 << QList<int>{0, 1};
        QTest::newRow("37 in a band") << 37 << QList<int>{0, 10, 20, 30, 40};
    }
    void everyFigureShowsAndTheChartCountsWholeSheets()
    {
        QFETCH(int, most);
        QFETCH(QList<int>, ticks);
        FiguresView view(nullptr);
        view.resize(640, 200); // as little as the marking window may leave it
        view.show();
        ExamFigures figures;
        figures.sheets = most;
        figures.bands = {0, 0, 0, 0, 0, 0, most, 0, 0, 0};
        view.showFigures(figures, 0, {});
        const auto *table = view.findChild<QTableWidget *>("GridCifras");
        QTRY_VERIFY(table->rowCount() > 0 &&
                    table->viewport()->rect().contains(
                        table->visualItemRect(table->item(table->rowCount() - 1, 1))) &&
                    table->horizontalHeader()->length() == table->viewport()->width());
        // The chart's numbers are its axis's: the bands read "0–1", "1–2"…
        const auto shown = [&view] {
            QList<int> numbers;
            for (const QGraphicsItem *item :
                 view.findChild<QChartView *>("ChartNotas")->scene()->items()) {
                const auto *text = dynamic_cast<const QGraphicsTextItem *>(item);
                bool number = false;
                const int value = text ? text->toPlainText().toInt(&number) : 0;
                if (number && text->isVisible())
                    numbers << value;
            }
            std::sort(numbers.begin(), numbers.end());
            return numbers;
        };
        QTRY_COMPARE(shown(), ticks);
    }
};

QTEST_MAIN(tst_FiguresView)
#include "tst_FiguresView.moc"
