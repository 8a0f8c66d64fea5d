// The flex grid stand-in: row 0 and column 0 as fixed headers, textMatrix,
// row 0 meaning no current cell, sizes in twips and the double-click signal.
#include "FlexGrid.h"
#include "Twips.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QtTest>

class tst_FlexGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headersCurrentCellSizesAndDoubleClick()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(5);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));

        QTableWidget *table = grid.view();
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("0,0"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("0,2"));
        QCOMPARE(table->verticalHeaderItem(3)->text(), QStringLiteral("4,0"));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1,1"));

        QCOMPARE(grid.row(), 0); // no current cell yet
        QVERIFY(!table->currentIndex().isValid());
        grid.setCurrentCell(3, 2);
        QCOMPARE(table->currentIndex(), table->model()->index(2, 1));
        grid.setCurrentCell(0, 0);
        QVERIFY(!table->currentIndex().isValid());

        grid.resize(500, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QScreen *screen = Twips::screenOf(&grid);
        grid.setColWidth(0, 360);
        grid.setColWidth(2, 600);
        grid.setRowHeight(0, 300);
        grid.setRowHeight(2, 450);
        QCoreApplication::processEvents();
        QCOMPARE(table->verticalHeader()->width(), Twips::toPixelsX(360, screen));
        QCOMPARE(table->columnWidth(1), Twips::toPixelsX(600, screen));
        QCOMPARE(table->horizontalHeader()->height(), Twips::toPixelsY(300, screen));
        QCOMPARE(table->rowHeight(1), Twips::toPixelsY(450, screen));
        QCOMPARE(grid.colWidth(2),
                 qRound(Twips::fromPixelsX(Twips::toPixelsX(600, screen), screen)));
        QCOMPARE(grid.rowHeight(2),
                 qRound(Twips::fromPixelsY(Twips::toPixelsY(450, screen), screen)));

        const QList<QPoint> cells{{2, 1}, {4, 2}, {0, 1}, {3, 0}}; // (row, col)
        QList<QPoint> signalled; // the current cell each time the signal came
        connect(&grid, &FlexGrid::dblClick, this,
                [&] { signalled.append(QPoint(grid.row(), grid.col())); });
        for (const QPoint &cell : cells) {
            const FlexGrid::CellSpot spot = grid.locateCell(cell.x(), cell.y());
            QVERIFY(spot.widget);
            QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
            QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
        }
        QCOMPARE(signalled, cells);
    }

    void rowHeightGrowsEveryHundredAndTenCharacters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("grid3");
        QTest::addColumn<int>("grid1");
        QTest::newRow("empty") << 0 << 420 << 450;
        QTest::newRow("50") << 50 << 420 << 450;
        QTest::newRow("109") << 109 << 420 << 450;
        QTest::newRow("110") << 110 << 560 << 630;
        QTest::newRow("219") << 219 << 560 << 630;
        QTest::newRow("230") << 230 << 760 << 830;
        QTest::newRow("1000") << 1000 << 2160 << 2230;
    }
    void rowHeightGrowsEveryHundredAndTenCharacters()
    {
        QFETCH(int, length);
        QFETCH(int, grid3);
        QFETCH(int, grid1);
        const QString text(length, u'x');
        QCOMPARE(rowHeightFor(text, 360, 420), grid3);
        QCOMPARE(rowHeightFor(text, 430, 450), grid1);
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_FlexGrid.moc"
