#include "FlexGrid.h"

#include "Twips.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

const Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;

// A horizontal alignment alone centres vertically, as the grid's cells do.
Qt::Alignment withVertical(Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    return alignment;
}

// A data cell whose accessible text is its row as the grid says it, made
// when a screen reader asks rather than kept on every cell at each fill.
class DataCell : public QTableWidgetItem
{
public:
    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleTextRole)
            if (const auto *grid = qobject_cast<const FlexGrid *>(tableWidget()->parentWidget()))
                return grid->rowSpeech(row() + 1);
        return QTableWidgetItem::data(role);
    }
};

// "PREGUNTA" is said as the word "Pregunta", not spelt out; "Resp." stays.
QString spokenHeader(const QString &header)
{
    const QString trimmed = header.trimmed();
    if (trimmed.isEmpty() || trimmed != trimmed.toUpper())
        return trimmed;
    return trimmed.left(1) + trimmed.mid(1).toLower();
}

} // namespace

FlexGrid::FlexGrid(QWidget *parent)
    : QWidget(parent), m_table(new QTableWidget(1, 1, this)),
      m_backColorFixed(palette().color(QPalette::Button)), m_backColor(Qt::white),
      m_backColorBkg(QColor(128, 128, 128))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    setFocusProxy(m_table);

    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setWordWrap(true);
    m_table->setCornerButtonEnabled(false);
    m_table->setTabKeyNavigation(false);
    m_table->installEventFilter(this);
    for (QHeaderView *header : {m_table->horizontalHeader(), m_table->verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setMinimumSectionSize(1);
        header->viewport()->installEventFilter(this);
    }
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->viewport()->installEventFilter(this);

    // The corner button is the fixed cell (0, 0); it is painted here because
    // QTableView's own corner shows no text.
    m_corner = m_table->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner)
        m_corner->installEventFilter(this);

    m_colAlignment = {kDefaultAlignment, kDefaultAlignment};
    m_fixedAlignment = {kDefaultAlignment, kDefaultAlignment};
    ensureItems();
    applyColors();

    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
        if (row >= 0 && col >= 0) {
            m_row = row + 1;
            m_col = col + 1;
        }
    });
}

int FlexGrid::rows() const
{
    return m_table->rowCount() + 1;
}

void FlexGrid::setRows(int rows)
{
    if (rows < 1 || rows == this->rows())
        return;
    m_table->setRowCount(rows - 1);
    ensureItems();
    if (m_row >= rows)
        setCurrentCell(rows - 1, m_col);
}

int FlexGrid::cols() const
{
    return m_table->columnCount() + 1;
}

void FlexGrid::setCols(int cols)
{
    if (cols < 1 || cols == this->cols())
        return;
    m_table->setColumnCount(cols - 1);
    m_colAlignment.resize(cols, kDefaultAlignment);
    m_fixedAlignment.resize(cols, kDefaultAlignment);
    ensureItems();
    if (m_col >= cols)
        setCurrentCell(m_row, cols - 1);
}

QTableWidgetItem *FlexGrid::dataItem(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols() || (row == 0 && col == 0))
        return nullptr;
    if (row == 0)
        return m_table->horizontalHeaderItem(col - 1);
    if (col == 0)
        return m_table->verticalHeaderItem(row - 1);
    return m_table->item(row - 1, col - 1);
}

QString FlexGrid::textMatrix(int row, int col) const
{
    if (row == 0 && col == 0)
        return m_cornerText;
    const QTableWidgetItem *item = dataItem(row, col);
    return item ? item->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    if (row == 0 && col == 0) {
        m_cornerText = text;
        if (m_corner) {
            // The corner is a button to a screen reader: it says its text.
            m_corner->setAccessibleName(text);
            m_corner->update();
        }
        return;
    }
    QTableWidgetItem *item = dataItem(row, col);
    if (!item)
        return;
    if (row > 0 && item->text() != text) {
        // A fill sets every cell of every row. Told one by one, each change
        // costs the view a signal and a repaint of its cell, and a new text
        // in the fixed column makes the table lay its rows out again the
        // next time anything asks about them, which a fill does on every
        // row (each height set). The changes are made quietly and told once
        // for the whole grid, when the program is next idle and before
        // anything is painted.
        const QSignalBlocker quiet(m_table->model());
        item->setText(text);
        (col == 0 ? m_rowHeadersChanged : m_cellsChanged) = true;
        if (!std::exchange(m_changesPending, true))
            QMetaObject::invokeMethod(this, &FlexGrid::tellChanges, Qt::QueuedConnection);
        return;
    }
    item->setText(text);
}

QString FlexGrid::rowSpeech(int row) const
{
    QStringList parts;
    for (int col = 1; col < cols(); ++col) {
        if (isColHidden(col))
            continue;
        const QString header = spokenHeader(textMatrix(0, col));
        const QString text = textMatrix(row, col);
        if (parts.isEmpty()) {
            // The first column says which row this is: "Pregunta 3".
            QString place = header;
            if (const QString label = textMatrix(row, 0).trimmed(); !label.isEmpty())
                place = place.isEmpty() ? label : place + u' ' + label;
            parts.append(text.isEmpty() ? place : place + QStringLiteral(": ") + text);
        } else if (!text.isEmpty()) {
            parts.append(header.isEmpty() ? text : header + u' ' + text);
        }
    }
    QString speech = parts.join(QStringLiteral(", "));
    if (const QString tip = cellToolTip(row, 0); !tip.isEmpty()) {
        const bool ended = !speech.isEmpty() && QStringLiteral(".?!").contains(speech.back());
        speech += (ended ? QStringLiteral(" ") : QStringLiteral(". ")) + tip;
    }
    return speech;
}

void FlexGrid::setCellToolTip(int row, int col, const QString &tip)
{
    // Read when the tip is asked for, so nothing needs to be told now.
    if (QTableWidgetItem *item = dataItem(row, col)) {
        const QSignalBlocker quiet(m_table->model());
        item->setToolTip(tip);
    }
}

QString FlexGrid::cellToolTip(int row, int col) const
{
    const QTableWidgetItem *item = dataItem(row, col);
    return item ? item->toolTip() : QString();
}

void FlexGrid::tellChanges()
{
    m_changesPending = false;
    QAbstractItemModel *model = m_table->model();
    if (std::exchange(m_rowHeadersChanged, false) && m_table->rowCount() > 0)
        Q_EMIT model->headerDataChanged(Qt::Vertical, 0, m_table->rowCount() - 1);
    if (std::exchange(m_cellsChanged, false) && m_table->rowCount() > 0 &&
        m_table->columnCount() > 0)
        Q_EMIT model->dataChanged(
            model->index(0, 0), model->index(m_table->rowCount() - 1, m_table->columnCount() - 1));
}

void FlexGrid::clear()
{
    setTextMatrix(0, 0, QString());
    {
        // Told once for the whole grid, not cell by cell.
        const QSignalBlocker quiet(m_table->model());
        for (int row = 0; row < rows(); ++row)
            for (int col = 0; col < cols(); ++col)
                if (QTableWidgetItem *item = dataItem(row, col)) {
                    item->setText(QString());
                    if (col == 0 && !item->toolTip().isEmpty())
                        item->setToolTip(QString());
                }
    }
    m_rowHeadersChanged = false;
    m_cellsChanged = false;
    QAbstractItemModel *model = m_table->model();
    if (m_table->columnCount() > 0)
        Q_EMIT model->headerDataChanged(Qt::Horizontal, 0, m_table->columnCount() - 1);
    if (m_table->rowCount() > 0)
        Q_EMIT model->headerDataChanged(Qt::Vertical, 0, m_table->rowCount() - 1);
    if (m_table->rowCount() > 0 && m_table->columnCount() > 0)
        Q_EMIT model->dataChanged(
            model->index(0, 0), model->index(m_table->rowCount() - 1, m_table->columnCount() - 1));
}

void FlexGrid::setCurrentCell(int row, int col)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return;
    if (row > 0 && col > 0) {
        m_table->setCurrentCell(row - 1, col - 1);
    } else {
        m_table->setCurrentIndex(QModelIndex());
        m_table->clearSelection();
    }
    m_row = row;
    m_col = col;
}

const QScreen *FlexGrid::screenNow() const
{
    return Twips::screenOf(this);
}

int FlexGrid::colWidth(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    if (col == 0) {
        if (m_fixedColWidthTwips >= 0)
            return m_fixedColWidthTwips;
        const_cast<FlexGrid *>(this)->tellChanges(); // the width follows the texts
        return qRound(
            Twips::fromPixelsX(m_table->verticalHeader()->sizeHint().width(), screenNow()));
    }
    return qRound(Twips::fromPixelsX(m_table->columnWidth(col - 1), screenNow()));
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols() || twips < 0)
        return;
    if (col == 0) {
        m_fixedColWidthTwips = twips;
        m_table->verticalHeader()->setFixedWidth(Twips::toPixelsX(twips, screenNow()));
    } else if (col == m_growingCol) {
        m_growingColTwips = twips;
        applyGrowth();
    } else {
        m_table->setColumnWidth(col - 1, Twips::toPixelsX(twips, screenNow()));
    }
}

void FlexGrid::setGrowingCol(int col)
{
    if (col < 1)
        return;
    m_growingCol = col;
    m_growingBase = width();
    applyGrowth();
}

void FlexGrid::applyGrowth()
{
    if (m_growingCol < 1 || m_growingCol >= cols() || m_growingColTwips < 0)
        return;
    m_table->setColumnWidth(m_growingCol - 1, Twips::toPixelsX(m_growingColTwips, screenNow()) +
                                                  qMax(0, width() - m_growingBase));
}

void FlexGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyGrowth();
}

void FlexGrid::setColHidden(int col, bool hidden)
{
    if (col >= 1 && col < cols())
        m_table->setColumnHidden(col - 1, hidden);
}

bool FlexGrid::isColHidden(int col) const
{
    return col >= 1 && col < cols() && m_table->isColumnHidden(col - 1);
}

int FlexGrid::rowHeight(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    if (row == 0) {
        if (m_headerHeightTwips >= 0)
            return m_headerHeightTwips;
        return qRound(
            Twips::fromPixelsY(m_table->horizontalHeader()->sizeHint().height(), screenNow()));
    }
    return qRound(Twips::fromPixelsY(m_table->rowHeight(row - 1), screenNow()));
}

void FlexGrid::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= rows() || twips < 0)
        return;
    if (row == 0) {
        m_headerHeightTwips = twips;
        m_table->horizontalHeader()->setFixedHeight(Twips::toPixelsY(twips, screenNow()));
    } else {
        m_table->setRowHeight(row - 1, Twips::toPixelsY(twips, screenNow()));
    }
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    // The windows set their columns up again on every listing: only a
    // change goes through every cell of the column.
    if (m_colAlignment[col] == withVertical(alignment))
        return;
    m_colAlignment[col] = withVertical(alignment);
    applyAlignment(col);
}

void FlexGrid::setFixedAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    if (m_fixedAlignment[col] == withVertical(alignment))
        return;
    m_fixedAlignment[col] = withVertical(alignment);
    applyAlignment(col);
}

void FlexGrid::applyAlignment(int col)
{
    if (col == 0) {
        if (m_corner)
            m_corner->update();
    } else if (QTableWidgetItem *header = dataItem(0, col)) {
        header->setTextAlignment(m_fixedAlignment[col]);
    }
    for (int row = 1; row < rows(); ++row)
        if (QTableWidgetItem *item = dataItem(row, col))
            item->setTextAlignment(m_colAlignment[col]);
}

// Every cell holds an item from the start, so that texts, alignment and the
// cell colour apply to rows and columns as soon as they exist.
void FlexGrid::ensureItems()
{
    for (int c = 0; c < m_table->columnCount(); ++c)
        if (!m_table->horizontalHeaderItem(c)) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(m_fixedAlignment[c + 1]);
            m_table->setHorizontalHeaderItem(c, item);
        }
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (!m_table->verticalHeaderItem(r)) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(m_colAlignment[0]);
            m_table->setVerticalHeaderItem(r, item);
        }
        for (int c = 0; c < m_table->columnCount(); ++c)
            if (!m_table->item(r, c)) {
                auto *item = new DataCell;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setTextAlignment(m_colAlignment[c + 1]);
                item->setBackground(m_backColor);
                m_table->setItem(r, c, item);
            }
    }
}

void FlexGrid::setBackColorFixed(const QColor &color)
{
    m_backColorFixed = color;
    applyColors();
}

void FlexGrid::setBackColorBkg(const QColor &color)
{
    m_backColorBkg = color;
    applyColors();
}

void FlexGrid::applyColors()
{
    // The table's background is what shows beyond the last row and column;
    // the data cells paint their own colour over it.
    m_table->setStyleSheet(
        QStringLiteral("QTableWidget { background-color: %1; gridline-color: #808080;"
                       " border: 2px solid transparent; }"
                       "QTableWidget:focus { border: 2px solid #000080; }"
                       "QHeaderView { background-color: %1; }"
                       "QHeaderView::section { background-color: %2; color: black;"
                       " border: none; border-right: 1px solid #808080;"
                       " border-bottom: 1px solid #808080; padding: 0px 2px; }")
            .arg(m_backColorBkg.name(), m_backColorFixed.name()));
    if (m_corner)
        m_corner->update();
}

void FlexGrid::paintCorner()
{
    QPainter painter(m_corner);
    const QRect area = m_corner->rect();
    painter.fillRect(area, m_backColorFixed);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(area.topRight(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.setPen(Qt::black);
    painter.setFont(m_table->font());
    painter.drawText(area.adjusted(2, 0, -2, 0), int(m_fixedAlignment[0]), m_cornerText);
}

FlexGrid::CellSpot FlexGrid::locateCell(int row, int col)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return {};
    QHeaderView *horizontal = m_table->horizontalHeader();
    QHeaderView *vertical = m_table->verticalHeader();
    if (row > 0)
        m_table->scrollToItem(m_table->item(row - 1, qMax(col, 1) - 1));
    if (row == 0 && col == 0)
        return {m_corner, m_corner ? m_corner->rect().center() : QPoint()};
    if (row == 0) {
        const int x =
            horizontal->sectionViewportPosition(col - 1) + horizontal->sectionSize(col - 1) / 2;
        return {horizontal->viewport(), QPoint(x, horizontal->height() / 2)};
    }
    if (col == 0) {
        const int y =
            vertical->sectionViewportPosition(row - 1) + vertical->sectionSize(row - 1) / 2;
        return {vertical->viewport(), QPoint(vertical->width() / 2, y)};
    }
    return {m_table->viewport(), m_table->visualItemRect(m_table->item(row - 1, col - 1)).center()};
}

void FlexGrid::scrollToRow(int row)
{
    if (row >= 1 && row < rows())
        m_table->scrollTo(m_table->model()->index(row - 1, 0));
}

int rowHeightFor(const QString &text, int base, int minimum)
{
    const qsizetype lines = text.size() / 110;
    return qMax(int(lines) * 200 + base, minimum);
}
