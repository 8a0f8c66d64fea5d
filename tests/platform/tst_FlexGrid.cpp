// The flex grid stand-in: row 0 and column 0 as fixed headers, textMatrix,
// row 0 meaning no current cell, sizes in twips and the double-click signal.
#include "FlexGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <QToolTip>
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
        // At 96 DPI, 15 twips a pixel; sizes read back are whole pixels.
        grid.setColWidth(0, 360);
        grid.setColWidth(2, 610);
        grid.setRowHeight(0, 300);
        grid.setRowHeight(2, 455);
        QCoreApplication::processEvents();
        QCOMPARE(table->verticalHeader()->width(), 24);
        QCOMPARE(table->columnWidth(1), 41);
        QCOMPARE(table->horizontalHeader()->height(), 20);
        QCOMPARE(table->rowHeight(1), 30);
        QCOMPARE(grid.colWidth(2), 615);
        QCOMPARE(grid.colWidth(3), 0); // columns that do not exist
        QCOMPARE(grid.colWidth(-1), 0);
        QCOMPARE(grid.rowHeight(2), 450);

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

    void scrollToRowShowsIt_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("last") << 40;
        QTest::newRow("first after the last") << 1;
    }
    void scrollToRowShowsIt()
    {
        QFETCH(int, row);
        FlexGrid grid;
        grid.setCols(2);
        grid.setRows(41);
        for (int r = 1; r < 41; ++r)
            grid.setRowHeight(r, 450);
        grid.resize(300, 150);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.scrollToRow(40);
        grid.scrollToRow(row);
        QTableWidget *table = grid.view();
        QTRY_VERIFY(table->viewport()->rect().contains(
            table->visualRect(table->model()->index(row - 1, 0))));
    }

    // The tip over a data cell shows its text whole, as the grid holds it
    // when the tip is asked for; an empty cell has none.
    void aDataCellsTipShowsItsWholeText_data()
    {
        QTest::addColumn<QStringList>("texts"); // given to cell (2, 1) in turn; "-": clear()
        QTest::addColumn<QString>("tip");       // empty: no tip
        const QString question = QStringLiteral("¿Es la segmentación del mercado un proceso que "
                                                "divide a los consumidores en grupos con "
                                                "necesidades parecidas y respuestas semejantes?");
        QTest::newRow("long question") << QStringList{question} << question;
        QTest::newRow("text replaced") << QStringList{"Primera.", "Segunda."} << "Segunda.";
        QTest::newRow("never filled") << QStringList{} << QString();
        QTest::newRow("emptied by clear") << QStringList{question, "-"} << QString();
        QTest::newRow("emptied by an empty text") << QStringList{question, ""} << QString();
    }
    void aDataCellsTipShowsItsWholeText()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, tip);
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(4);
        for (const QString &text : texts) {
            if (text == QLatin1String("-"))
                grid.clear();
            else
                grid.setTextMatrix(2, 1, text);
        }
        grid.setTextMatrix(1, 1, QStringLiteral("Otra."));
        grid.resize(500, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());

        const FlexGrid::CellSpot spot = grid.locateCell(2, 1);
        QHelpEvent help(QEvent::ToolTip, spot.point, spot.widget->mapToGlobal(spot.point));
        QCoreApplication::sendEvent(spot.widget, &help);
        if (tip.isEmpty()) {
            QVERIFY(!QToolTip::isVisible());
        } else {
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), tip);
        }
        QToolTip::hideText();
    }

    // Alignment reaches the cells a column has and the ones it gets later,
    // whether or not it changes.
    void aColumnsAlignmentReachesEveryCell_data()
    {
        QTest::addColumn<QList<int>>("alignments"); // Qt::Alignment values set on column 2 in turn
        QTest::addColumn<int>("rowsFirst");         // rows before the alignment is set
        QTest::addColumn<int>("expected");
        const int centre = int(Qt::AlignHCenter | Qt::AlignVCenter);
        const int right = int(Qt::AlignRight | Qt::AlignVCenter);
        const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("never set") << QList<int>{} << 6 << left;
        QTest::newRow("set before the rows exist")
            << QList<int>{int(Qt::AlignHCenter)} << 1 << centre;
        QTest::newRow("set on existing rows") << QList<int>{int(Qt::AlignHCenter)} << 6 << centre;
        QTest::newRow("changed") << QList<int>{int(Qt::AlignHCenter), int(Qt::AlignRight)} << 6
                                 << right;
    }
    void aColumnsAlignmentReachesEveryCell()
    {
        QFETCH(QList<int>, alignments);
        QFETCH(int, rowsFirst);
        QFETCH(int, expected);
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(rowsFirst);
        for (const int alignment : alignments)
            grid.setColAlignment(2, Qt::Alignment(alignment));
        grid.setRows(6);
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(grid.view()->item(row, 1)->textAlignment(), expected);
            QCOMPARE(grid.view()->item(row, 0)->textAlignment(),
                     int(Qt::AlignLeft | Qt::AlignVCenter));
        }
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_FlexGrid.moc"
