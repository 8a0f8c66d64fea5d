// The flex grid stand-in: row 0 and column 0 as fixed headers, textMatrix,
// row 0 meaning no current cell, sizes in twips through the screen's logical
// DPI, and what a screen reader hears of a cell; a control named by its
// caption.
#include "FlexGrid.h"
#include "ScreenReader.h"

#include <QAccessible>
#include <QLabel>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class tst_Widgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headersCurrentCellAndSizes()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(5);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));

        QTableWidget *table = grid.view();
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE((QStringList{grid.textMatrix(0, 0), table->horizontalHeaderItem(1)->text(),
                              table->verticalHeaderItem(3)->text(), table->item(0, 0)->text()}),
                 (QStringList{"0,0", "0,2", "4,0", "1,1"}));

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
        QCOMPARE((QList<int>{table->verticalHeader()->width(), table->columnWidth(1),
                             table->horizontalHeader()->height(), table->rowHeight(1)}),
                 (QList<int>{24, 41, 20, 30}));
        QCOMPARE(
            (QList<int>{grid.colWidth(2), grid.colWidth(3), grid.colWidth(-1), grid.rowHeight(2)}),
            (QList<int>{615, 0, 0, 450}));

        // A new text in a shown cell reaches the screen: the cells repaint.
        QTest::qWait(100); // what the sizes above left to paint
        PaintCounter counter;
        table->viewport()->installEventFilter(&counter);
        grid.setTextMatrix(2, 1, QStringLiteral("nuevo"));
        QTRY_VERIFY(counter.paints > 0);

        // A double-click on the header row is seen with row 0 current, so
        // that the windows take it for no question at all; one on a row below,
        // its number included, makes that row current.
        QSignalSpy doubleClicks(&grid, &FlexGrid::dblClick);
        QList<QPoint> seen;
        for (const auto &[row, col] : {std::pair{0, 1}, {3, 2}, {2, 0}}) {
            const FlexGrid::CellSpot spot = grid.locateCell(row, col);
            QVERIFY(spot.widget);
            QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
            QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
            seen << QPoint(grid.row(), grid.col());
        }
        QCOMPARE(doubleClicks.count(), 3);
        QCOMPARE(seen, (QList<QPoint>{{0, 1}, {3, 2}, {2, 0}}));

        // Scrolling to a row shows it, the first row as well as the last,
        // from its first column however wide the columns are.
        grid.setRows(40);
        grid.setColWidth(1, 15000);
        QCoreApplication::processEvents(); // the scroll ranges follow the rows
        for (const int row : {39, 1}) {
            grid.scrollToRow(row);
            QCOMPARE(table->verticalScrollBar()->value() == 0, row == 1);
            QCOMPARE(table->horizontalScrollBar()->value(), 0);
        }
        // Clearing empties every cell, the corner too.
        grid.clear();
        QCOMPARE((QStringList{grid.textMatrix(0, 0), grid.textMatrix(0, 2), grid.textMatrix(4, 1)}),
                 (QStringList{"", "", ""}));
    }

    // On any shown cell of a row a reader hears the whole row, each column
    // after its header, then the number's tool tip; the header cells say the
    // headers.
    void aReaderHearsTheRowOfACell_data()
    {
        QTest::addColumn<QStringList>("headers"); // of columns 1…
        QTest::addColumn<QStringList>("row");     // the fixed cell, then columns 1…
        QTest::addColumn<int>("hidden");          // a hidden column; 0: none
        QTest::addColumn<QString>("tip");         // the fixed cell's
        QTest::addColumn<QString>("speech");
        const QStringList trueFalse{"PREGUNTA", "Resp."};
        // clang-format off
        QTest::newRow("empty row") << trueFalse << QStringList{"5", "", ""} << 0 << ""
            << "Pregunta 5";
        QTest::newRow("used, record column hidden") << QStringList{"PREGUNTA", "Resp.", "Registro"}
            << QStringList{"4•", "¿Baja?", "No", "17"} << 3 << "Usada en: Final (01/07/2026)"
            << "Pregunta 4•: ¿Baja?, Resp. No. Usada en: Final (01/07/2026)";
        QTest::newRow("used, ending a sentence") << QStringList{"PREGUNTAS PRÁCTICAS "}
            << QStringList{"1•", "Diseñe un plan."} << 0 << "Usada en: Parcial (12/06/2026)"
            << "Preguntas prácticas 1•: Diseñe un plan. Usada en: Parcial (12/06/2026)";
        // clang-format on
    }
    void aReaderHearsTheRowOfACell()
    {
        QFETCH(QStringList, headers);
        QFETCH(QStringList, row);
        QFETCH(int, hidden);
        QFETCH(QString, tip);
        FlexGrid grid;
        grid.setCols(int(row.size()));
        grid.setRows(6);
        for (int col = 0; col < row.size(); ++col) {
            if (col > 0)
                grid.setTextMatrix(0, col, headers.at(col - 1));
            grid.setTextMatrix(3, col, row.at(col));
        }
        grid.setColHidden(hidden, true);
        grid.setCellToolTip(3, 0, tip);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(grid.view())->tableInterface();
        QStringList heard;
        for (int col = 1; col < row.size(); ++col)
            if (col != hidden)
                heard << table->cellAt(2, col - 1)->text(QAccessible::Name);
        QTEST(heard.first(), "speech");
        QCOMPARE(heard.count(heard.first()), heard.size());
        const QList<QAccessibleInterface *> header =
            table->cellAt(2, 0)->tableCellInterface()->columnHeaderCells();
        // This Qt hands header cells out without caching them; giving each an
        // id puts it in the accessibility cache, which owns it from then on.
        for (QAccessibleInterface *cell : header)
            QAccessible::uniqueId(cell);
        QCOMPARE(header.size(), 1);
        QCOMPARE(header.first()->text(QAccessible::Name), headers.first());
    }

    // A caption names its control without its access key's '&' and closing
    // colon, and becomes the buddy of the widget that takes the focus (a
    // grid's table), which is the one named for the reader.
    void aCaptionNamesTheWidgetThatTakesTheFocus()
    {
        QWidget window;
        auto *label = new QLabel(QStringLiteral("Clave de &barajado:"), &window);
        auto *grid = new FlexGrid(&window);
        ScreenReader::name(grid, label);
        QCOMPARE(label->buddy(), grid->view());
        QCOMPARE(QAccessible::queryAccessibleInterface(grid->view())->text(QAccessible::Name),
                 QStringLiteral("Clave de barajado"));
    }

    // Run on two screens of different DPI (tests/screens/two-screens.json):
    // a grid not yet shown sizes its rows in the DPI of the screen its
    // window lies on.
    void aGridSizesInTheDpiOfItsScreen_data()
    {
        QTest::addColumn<QPoint>("windowAt");
        QTest::addColumn<int>("pixels"); // of a row of 1440 twips
        QTest::newRow("left screen, 96 DPI") << QPoint(100, 100) << 96;
        QTest::newRow("right screen, 192 DPI") << QPoint(2020, 100) << 192;
    }
    void aGridSizesInTheDpiOfItsScreen()
    {
        if (QGuiApplication::screens().size() != 2)
            QSKIP("run with the two-screen configuration");
        QFETCH(QPoint, windowAt);
        QWidget window;
        window.setGeometry(QRect(windowAt, QSize(600, 400)));
        auto *grid = new FlexGrid(&window);
        grid->setCols(2);
        grid->setRows(2);
        grid->setRowHeight(1, 1440);
        QTEST(grid->view()->rowHeight(0), "pixels");
    }
};

QTEST_MAIN(tst_Widgets)
#include "tst_Widgets.moc"
