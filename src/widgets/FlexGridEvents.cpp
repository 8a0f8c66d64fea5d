// How the grid answers the mouse, the keyboard, focus and tips: a click on a
// fixed cell, double-clicks, the arrow keys and Enter, and a data cell's text
// shown whole in its tip.
#include "FlexGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableWidget>
#include <QToolTip>

bool FlexGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (m_corner && watched == m_corner && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (watched == m_table && event->type() == QEvent::KeyPress)
        return handleKey(event);
    if (watched == m_table->viewport() && event->type() == QEvent::ToolTip) {
        showCellTip(static_cast<QHelpEvent *>(event));
        return true;
    }
    // A grid reached from the keyboard without a current cell starts on its
    // first row, highlighted, so that Enter and the arrows act on a row the
    // teacher sees.
    if (watched == m_table && event->type() == QEvent::FocusIn && m_row == 0 && rows() > 1 &&
        cols() > 1) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            setCurrentCell(1, 1);
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        return handleMouse(watched, event);
    return QWidget::eventFilter(watched, event);
}

// A press on a fixed cell makes it current, so that a double-click on the
// header row is seen with row 0 current. Double-clicks are consumed here: the
// table's own handling would start editing or move the current cell again
// after the handler of dblClick has set it.
bool FlexGrid::handleMouse(QObject *watched, QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint pos = mouse->position().toPoint();
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    QHeaderView *horizontal = m_table->horizontalHeader();
    QHeaderView *vertical = m_table->verticalHeader();

    int row = -1;
    int col = -1;
    if (watched == m_table->viewport()) {
        if (!doubleClick)
            return false;
        const QModelIndex index = m_table->indexAt(pos);
        if (index.isValid()) {
            row = index.row() + 1;
            col = index.column() + 1;
        }
    } else if (watched == horizontal->viewport()) {
        const int section = horizontal->logicalIndexAt(pos);
        if (section >= 0) {
            row = 0;
            col = section + 1;
        }
    } else if (watched == vertical->viewport()) {
        const int section = vertical->logicalIndexAt(pos);
        if (section >= 0) {
            row = section + 1;
            col = 0;
        }
    } else if (watched == m_corner) {
        row = 0;
        col = 0;
    } else {
        return false;
    }

    if (row < 0)
        return true;
    setCurrentCell(row, col);
    if (doubleClick)
        Q_EMIT dblClick();
    return true;
}

// Question texts are longer than a row shows; the tip over a data cell shows
// its text whole. Made when asked for, from the cell's text, rather than kept
// on every cell each time the grid is filled.
void FlexGrid::showCellTip(const QHelpEvent *help)
{
    const QTableWidgetItem *item = m_table->itemAt(help->pos());
    if (!item || item->text().isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(help->globalPos(), item->text(), m_table->viewport(),
                       m_table->visualItemRect(item));
}

bool FlexGrid::handleKey(QEvent *event)
{
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT enterPressed();
        return true;
    case Qt::Key_Delete:
        Q_EMIT deletePressed();
        return true;
    default:
        return false;
    }
}
