#pragma once
// A grid with one fixed header row and one fixed column, addressed the way the
// windows are written against it: row 0 is the header row and column 0 the
// fixed column, so data starts at (1, 1); a current row of 0 means "no cell
// chosen"; sizes are in twips. Built on QTableWidget, whose headers carry the
// fixed row and column so that they stay in place while the data rows scroll.

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class QHelpEvent;
class QScreen;
class QTableWidget;
class QTableWidgetItem;

class FlexGrid : public QWidget
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Row and column counts include the fixed row and column (at least 1 each).
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // A tool tip of its own for a cell of the fixed column (a data cell shows
    // its text as its tip); clear() removes it.
    void setCellToolTip(int row, int col, const QString &tip);
    QString cellToolTip(int row, int col) const;
    // Empties every cell, fixed cells included; counts and sizes stay.
    void clear();

    // What a screen reader says on any cell of data row `row` (1 and up): the
    // row's shown columns, each after its header ("Pregunta 3: …, Resp. Sí";
    // a header in capitals said as a word), then the fixed cell's tool tip.
    QString rowSpeech(int row) const;

    // The current cell; (0, 0) after construction. A current row or column of
    // 0 leaves no data cell highlighted.
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setCurrentCell(int row, int col);

    int colWidth(int col) const; // twips
    void setColWidth(int col, int twips);
    // Column `col` (a data column) takes every pixel the grid is given beyond
    // its present width, on top of the width set for it, so that a larger
    // grid shows longer lines rather than an empty band.
    void setGrowingCol(int col);
    // A hidden column keeps its texts but is never shown (a data column only).
    void setColHidden(int col, bool hidden);
    bool isColHidden(int col) const;
    int rowHeight(int row) const; // twips
    void setRowHeight(int row, int twips);

    // Alignment of the data cells of a column (of the fixed column's cells for
    // column 0), and of a column's header cell in row 0.
    void setColAlignment(int col, Qt::Alignment alignment);
    void setFixedAlignment(int col, Qt::Alignment alignment);

    // Fixed cells, and the area beyond the last row and column.
    void setBackColorFixed(const QColor &color);
    void setBackColorBkg(const QColor &color);

    // Brings a row into view (the fixed row stays in place).
    void scrollToRow(int row);

    // The table behind the grid, for focus.
    QTableWidget *view() const { return m_table; }

    // Where a mouse click on a cell lands: the widget that receives it and the
    // point in that widget's coordinates. A data cell is scrolled into view
    // first. Null widget for a cell out of range. Used by tests that click.
    struct CellSpot
    {
        QWidget *widget = nullptr;
        QPoint point;
    };
    CellSpot locateCell(int row, int col);

Q_SIGNALS:
    // A double-click on a cell, fixed or not, after its first click has made
    // that cell the current one. A double-click beyond the last row or column
    // is no double-click on the grid.
    void dblClick();
    // Enter or Return pressed in the grid, and Delete, with the current cell
    // as it stands. Tab and Shift+Tab are never the grid's: they move the
    // focus on to the next or previous control.
    void enterPressed();
    void deletePressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QScreen *screenNow() const;
    QTableWidgetItem *dataItem(int row, int col) const;
    void ensureItems();
    void applyAlignment(int col);
    void applyColors();
    void paintCorner();
    bool handleMouse(QObject *watched, QEvent *event);
    bool handleKey(QEvent *event);
    void showCellTip(const QHelpEvent *help);
    void tellChanges();
    void applyGrowth();

    QTableWidget *m_table = nullptr;
    QWidget *m_corner = nullptr;
    QString m_cornerText;
    QList<Qt::Alignment> m_colAlignment;   // one per grid column
    QList<Qt::Alignment> m_fixedAlignment; // one per grid column
    QColor m_backColorFixed;
    QColor m_backColor;
    QColor m_backColorBkg;
    int m_row = 0;
    int m_col = 0;
    bool m_rowHeadersChanged = false; // fixed-column texts changed, not yet told
    bool m_cellsChanged = false;      // data-cell texts changed, not yet told
    bool m_changesPending = false;    // tellChanges() is queued
    int m_headerHeightTwips = -1;     // -1: the header's natural height
    int m_fixedColWidthTwips = -1;    // -1: the fixed column's natural width
    int m_growingCol = 0;             // 0: no column grows with the grid
    int m_growingColTwips = -1;       // its width as set, -1 until set
    int m_growingBase = 0;            // the grid's width, pixels, it was set for
};

// The height in twips of a grid row showing `text`: 200 twips more for every
// full 110 characters, on top of `base`, and never less than `minimum`.
int rowHeightFor(const QString &text, int base, int minimum);
