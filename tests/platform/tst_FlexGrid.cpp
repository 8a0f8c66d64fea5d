// The flex grid stand-in: its row and column numbering with the fixed header
// row and column, the current cell, sizes in twips, alignment, colours, and
// what a click and a double-click do.
#include "FlexGrid.h"
#include "Twips.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

class tst_FlexGrid : public QObject
{
    Q_OBJECT

private:
    // A shown 3-column grid with `rows` rows, every cell named after itself.
    std::unique_ptr<FlexGrid> makeGrid(int rows)
    {
        auto grid = std::make_unique<FlexGrid>();
        grid->setCols(3);
        grid->setRows(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 3; ++c)
                grid->setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
        grid->resize(500, 300);
        grid->show();
        if (!QTest::qWaitForWindowExposed(grid.get()))
            return nullptr;
        return grid;
    }

    static void doubleClick(FlexGrid &grid, int row, int col)
    {
        const FlexGrid::CellSpot spot = grid.locateCell(row, col);
        QVERIFY(spot.widget);
        QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
    }

private Q_SLOTS:
    void textMatrixPutsRowZeroAndColumnZeroInTheHeaders_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("corner") << 0 << 0;
        QTest::newRow("header of column 1") << 0 << 1;
        QTest::newRow("header of column 2") << 0 << 2;
        QTest::newRow("fixed cell of row 1") << 1 << 0;
        QTest::newRow("fixed cell of row 4") << 4 << 0;
        QTest::newRow("first data cell") << 1 << 1;
        QTest::newRow("last data cell") << 4 << 2;
    }
    void textMatrixPutsRowZeroAndColumnZeroInTheHeaders()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(5);
        grid.setTextMatrix(row, col, QStringLiteral("Sí"));
        QCOMPARE(grid.textMatrix(row, col), QStringLiteral("Sí"));

        const QTableWidget *table = grid.view();
        QString inTable;
        if (row == 0 && col > 0)
            inTable = table->horizontalHeaderItem(col - 1)->text();
        else if (col == 0 && row > 0)
            inTable = table->verticalHeaderItem(row - 1)->text();
        else if (row > 0 && col > 0)
            inTable = table->item(row - 1, col - 1)->text();
        if (row != 0 || col != 0)
            QCOMPARE(inTable, QStringLiteral("Sí"));

        // No other cell took the text.
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                if (r != row || c != col)
                    QVERIFY2(grid.textMatrix(r, c).isEmpty(),
                             qPrintable(QStringLiteral("%1,%2").arg(r).arg(c)));
    }

    void cellsOutOfRangeReadEmptyAndIgnoreWrites()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(3);
        grid.setTextMatrix(3, 1, QStringLiteral("x"));
        grid.setTextMatrix(1, 3, QStringLiteral("x"));
        grid.setTextMatrix(-1, 1, QStringLiteral("x"));
        QCOMPARE(grid.textMatrix(3, 1), QString());
        QCOMPARE(grid.textMatrix(1, 3), QString());
        QCOMPARE(grid.view()->rowCount(), 2);
    }

    void rowCountIncludesTheHeaderRowAndKeepsExistingTexts()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(3);
        grid.setTextMatrix(2, 1, QStringLiteral("segunda"));
        grid.setRows(501);
        QCOMPARE(grid.rows(), 501);
        QCOMPARE(grid.view()->rowCount(), 500);
        QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("segunda"));
        grid.setTextMatrix(500, 2, QStringLiteral("No"));
        QCOMPARE(grid.textMatrix(500, 2), QStringLiteral("No"));

        grid.setRows(5);
        QCOMPARE(grid.rows(), 5);
        grid.setRows(501);
        QCOMPARE(grid.textMatrix(500, 2), QString()); // the dropped row came back empty
        grid.setRows(0);
        QCOMPARE(grid.rows(), 501);
    }

    void clearEmptiesEveryCellButKeepsCountsAndSizes()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(4);
        grid.setRowHeight(2, 450);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("t"));
        grid.clear();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(grid.textMatrix(r, c), QString());
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.cols(), 3);
        QCOMPARE(grid.rowHeight(2), 450);
    }

    void currentCellMapsToTheTableAndRowZeroMeansNone()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(5);
        QCOMPARE(grid.row(), 0); // a new grid has no current cell
        QVERIFY(!grid.view()->currentIndex().isValid());
        grid.setCurrentCell(3, 2);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 2);
        QCOMPARE(grid.view()->currentRow(), 2);
        QCOMPARE(grid.view()->currentColumn(), 1);

        grid.setCurrentCell(0, 0);
        QCOMPARE(grid.row(), 0);
        QCOMPARE(grid.col(), 0);
        QVERIFY(!grid.view()->currentIndex().isValid());
        QVERIFY(grid.view()->selectedItems().isEmpty());

        grid.setCurrentCell(5, 1); // beyond the last row: refused
        QCOMPARE(grid.row(), 0);
        grid.setCurrentCell(4, 1);
        grid.setRows(3); // the current row went away
        QCOMPARE(grid.row(), 2);
    }

    void sizesAreSetAndReadInTwips_data()
    {
        QTest::addColumn<bool>("isColumn");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("twips");
        QTest::newRow("fixed column") << true << 0 << 360;
        QTest::newRow("question column") << true << 1 << 8700;
        QTest::newRow("answer column") << true << 2 << 600;
        QTest::newRow("header row") << false << 0 << 300;
        QTest::newRow("data row") << false << 1 << 450;
        QTest::newRow("last data row") << false << 3 << 450;
    }
    void sizesAreSetAndReadInTwips()
    {
        QFETCH(bool, isColumn);
        QFETCH(int, index);
        QFETCH(int, twips);
        auto grid = makeGrid(4);
        QVERIFY(grid);
        const QScreen *screen = Twips::screenOf(grid.get());
        QTableWidget *table = grid->view();
        if (isColumn) {
            const int pixels = Twips::toPixelsX(twips, screen);
            grid->setColWidth(index, twips);
            QCOMPARE(grid->colWidth(index), qRound(Twips::fromPixelsX(pixels, screen)));
            QCoreApplication::processEvents();
            const int shown =
                index == 0 ? table->verticalHeader()->width() : table->columnWidth(index - 1);
            QCOMPARE(shown, pixels);
        } else {
            const int pixels = Twips::toPixelsY(twips, screen);
            grid->setRowHeight(index, twips);
            QCOMPARE(grid->rowHeight(index), qRound(Twips::fromPixelsY(pixels, screen)));
            QCoreApplication::processEvents();
            const int shown =
                index == 0 ? table->horizontalHeader()->height() : table->rowHeight(index - 1);
            QCOMPARE(shown, pixels);
        }
    }

    void alignmentAppliesToExistingAndLaterRows()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(3);
        grid.setColAlignment(2, Qt::AlignHCenter);
        grid.setFixedAlignment(1, Qt::AlignHCenter);
        grid.setColAlignment(0, Qt::AlignHCenter);
        grid.setRows(6);
        const QTableWidget *table = grid.view();
        const int centred = int(Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(table->item(0, 1)->textAlignment(), centred);
        QCOMPARE(table->item(4, 1)->textAlignment(), centred);
        QCOMPARE(table->horizontalHeaderItem(0)->textAlignment(), centred);
        QCOMPARE(table->verticalHeaderItem(4)->textAlignment(), centred);
        QVERIFY(table->item(4, 0)->textAlignment() & Qt::AlignLeft); // column 1 untouched
    }

    void coloursShowOnFixedCellsDataCellsAndBeyondTheLastRow()
    {
        auto grid = makeGrid(3);
        QVERIFY(grid);
        grid->clear(); // no text over the pixels looked at
        const QColor fixed(192, 192, 255);
        const QColor beyond(128, 128, 255);
        grid->setBackColorFixed(fixed);
        grid->setBackColorBkg(beyond);
        grid->setColWidth(1, 1500);
        grid->setColWidth(2, 600);
        QCoreApplication::processEvents();

        const QImage image = grid->grab().toImage();
        auto colourAt = [&](int row, int col, QPoint offset = {}) {
            const FlexGrid::CellSpot spot = grid->locateCell(row, col);
            return QColor(image.pixel(spot.widget->mapTo(grid.get(), spot.point + offset)));
        };
        QCOMPARE(colourAt(0, 0), fixed);
        QCOMPARE(colourAt(0, 1), fixed);
        QCOMPARE(colourAt(2, 0), fixed);
        QCOMPARE(colourAt(1, 2), QColor(Qt::white));
        // Below the last row and right of the last column.
        const QRect last = grid->view()->visualItemRect(grid->view()->item(1, 1));
        const QPoint below =
            grid->view()->viewport()->mapTo(grid.get(), last.bottomRight() + QPoint(-5, 20));
        const QPoint right =
            grid->view()->viewport()->mapTo(grid.get(), last.topRight() + QPoint(20, 5));
        QCOMPARE(QColor(image.pixel(below)), beyond);
        QCOMPARE(QColor(image.pixel(right)), beyond);
    }

    void doubleClickMakesTheClickedCellCurrentAndSignalsOnce_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("data cell") << 2 << 1;
        QTest::newRow("answer cell") << 3 << 2;
        QTest::newRow("header row") << 0 << 1;
        QTest::newRow("fixed column") << 2 << 0;
        QTest::newRow("corner") << 0 << 0;
    }
    void doubleClickMakesTheClickedCellCurrentAndSignalsOnce()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        auto grid = makeGrid(4);
        QVERIFY(grid);
        grid->setCurrentCell(1, 2);
        int rowAtSignal = -1;
        int colAtSignal = -1;
        int emitted = 0;
        connect(grid.get(), &FlexGrid::dblClick, this, [&] {
            ++emitted;
            rowAtSignal = grid->row();
            colAtSignal = grid->col();
        });
        doubleClick(*grid, row, col);
        QCOMPARE(emitted, 1);
        QCOMPARE(rowAtSignal, row);
        QCOMPARE(colAtSignal, col);
    }

    void handlerMayMoveTheCurrentCellAndTheDoubleClickDoesNotUndoIt()
    {
        auto grid = makeGrid(4);
        QVERIFY(grid);
        connect(grid.get(), &FlexGrid::dblClick, this, [&] { grid->setCurrentCell(0, 0); });
        doubleClick(*grid, 2, 1);
        QCoreApplication::processEvents();
        QCOMPARE(grid->row(), 0);
        QVERIFY(!grid->view()->currentIndex().isValid());
    }

    void doubleClickBeyondTheLastRowIsNoDoubleClick()
    {
        auto grid = makeGrid(2);
        QVERIFY(grid);
        grid->setCurrentCell(1, 1);
        QSignalSpy spy(grid.get(), &FlexGrid::dblClick);
        QWidget *viewport = grid->view()->viewport();
        const QPoint below(20, viewport->height() - 5);
        QVERIFY(!grid->view()->indexAt(below).isValid());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(grid->row(), 1);
    }

    void fixedRowAndColumnStayWhileTheDataScrolls()
    {
        auto grid = makeGrid(501);
        QVERIFY(grid);
        grid->setColWidth(1, 9000);
        for (int r = 1; r < 501; ++r)
            grid->setRowHeight(r, 450);
        QCoreApplication::processEvents();
        QTableWidget *table = grid->view();
        const QPoint headerBefore = table->horizontalHeader()->mapTo(grid.get(), QPoint());
        const QPoint fixedColumnBefore = table->verticalHeader()->mapTo(grid.get(), QPoint());

        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
        table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
        QCoreApplication::processEvents();
        QVERIFY(table->verticalScrollBar()->value() > 0);
        QVERIFY(table->horizontalScrollBar()->value() > 0);
        QVERIFY(table->rowAt(0) > 400); // the first rows scrolled out of sight

        QCOMPARE(table->horizontalHeader()->mapTo(grid.get(), QPoint()), headerBefore);
        QCOMPARE(table->verticalHeader()->mapTo(grid.get(), QPoint()), fixedColumnBefore);
        QVERIFY(table->horizontalHeader()->isVisible());
        QVERIFY(table->verticalHeader()->isVisible());
        // The fixed column scrolls with its rows: it shows the same row as the data.
        const int topRow = table->rowAt(5);
        QCOMPARE(table->verticalHeader()->logicalIndexAt(5), topRow);
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_FlexGrid.moc"
