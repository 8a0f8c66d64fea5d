#pragma once
// The part of the marking window that shows what the marks teach about the
// exam: its figures in a table ("GridCifras"), the questions that
// discriminate negatively with their text ("ListNegativas") and a bar chart
// of the grades ("ChartNotas", Qt Charts).

#include "ExamHistory.h"
#include "FiguresTable.h"

#include <QImage>
#include <QWidget>

#include <optional>

class QChartView;
class QListWidget;
class QTableWidget;

class FiguresView : public QWidget
{
    Q_OBJECT

public:
    explicit FiguresView(QWidget *parent);

    void clear();
    // `pending`: the sheets left out until decided; `questions` in the
    // exam's own order.
    void showFigures(const ExamFigures &figures, int pending,
                     const QList<HistoryQuestion> &questions);
    // What is shown, for the report; none while nothing is.
    const std::optional<figuresTable::Table> &table() const { return m_table; }
    QImage chartImage() const;

private:
    void fitTableToItsRows();

    QTableWidget *m_gridCifras = nullptr;
    QListWidget *m_listNegativas = nullptr;
    QChartView *m_chartNotas = nullptr;
    std::optional<figuresTable::Table> m_table;
};
