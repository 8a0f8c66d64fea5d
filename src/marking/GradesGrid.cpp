#include "GradesGrid.h"

#include "GradesReport.h"
#include "MarkingSession.h"
#include "ScreenReader.h"

#include <QHeaderView>

namespace {

enum Column
{
    Dni,
    Name,
    Version,
    Right,
    Wrong,
    Blank,
    Doubtful,
    Points,
    Grade,
    State,
    Columns
};

constexpr int kSortRole = Qt::UserRole + 1;

// Numbers sort as numbers; points and grades show as the files write them.
class Cell : public QTableWidgetItem
{
public:
    explicit Cell(const QVariant &value)
    {
        setData(kSortRole, value);
        setText(value.typeId() == QMetaType::Double ? gradesReport::decimal(value.toDouble())
                                                    : value.toString());
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant mine = data(kSortRole);
        const QVariant theirs = other.data(kSortRole);
        if (mine.typeId() != QMetaType::QString && theirs.typeId() != QMetaType::QString)
            return mine.toDouble() < theirs.toDouble();
        return QTableWidgetItem::operator<(other);
    }
};

} // namespace

GradesGrid::GradesGrid(QWidget *parent) : QTableWidget(0, Columns, parent)
{
    setObjectName(QStringLiteral("GridNotas"));
    ScreenReader::nameCorner(this);
    setHorizontalHeaderLabels({QStringLiteral("DNI"), QStringLiteral("Nombre"),
                               QStringLiteral("Versión"), QStringLiteral("Aciertos"),
                               QStringLiteral("Errores"), QStringLiteral("Blancos"),
                               QStringLiteral("Dudosas"), QStringLiteral("Puntos"),
                               QStringLiteral("Nota"), QStringLiteral("Estado")});
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(true);
    // In the scans' order until the teacher clicks a heading.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void GradesGrid::fill(const MarkingSession &session)
{
    setSortingEnabled(false);
    setRowCount(0);
    const QList<MarkedSheet> &sheets = session.result().sheets;
    setRowCount(int(sheets.size()));
    QFont bold = font();
    bold.setBold(true);
    for (int row = 0; row < sheets.size(); ++row) {
        const MarkedSheet &sheet = sheets[row];
        // A page not scanned is said, as its questions are not asked.
        QString state = sheet.pending ? QStringLiteral("⚠ Pendiente") : QStringLiteral("Corregida");
        for (int page = 0; page < sheet.scanPages.size(); ++page)
            if (sheet.scanPages[page].file.isEmpty()) {
                state = QStringLiteral("⚠ Falta la página %1").arg(page + 1);
                break;
            }
        const bool offList = session.offList(sheet);
        const QList<QVariant> values{sheet.dni,
                                     offList ? QStringLiteral("⚠ No está en la lista") : sheet.name,
                                     QString(QChar(u'A' + sheet.code.version)),
                                     sheet.right,
                                     sheet.wrong,
                                     sheet.blank,
                                     sheet.doubtful,
                                     sheet.pointsPending() ? QVariant() : QVariant(sheet.points),
                                     sheet.pointsPending() ? QVariant() : QVariant(sheet.grade),
                                     state};
        for (int column = 0; column < Columns; ++column) {
            QTableWidgetItem *item = new Cell(values[column]);
            item->setData(Qt::UserRole, row);
            if (sheet.pending || (column == Name && offList)) {
                item->setFont(bold);
                item->setBackground(QColor(255, 240, 160));
            }
            setItem(row, column, item);
        }
    }
    setSortingEnabled(true);
    resizeColumnsToContents();
}

QList<int> GradesGrid::chosenSheets() const
{
    QList<int> chosen;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        chosen << item(index.row(), 0)->data(Qt::UserRole).toInt();
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}
