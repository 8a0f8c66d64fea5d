#include "FiguresView.h"

#include "ScreenReader.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QValueAxis>

namespace {

// Sheets are counted in whole numbers: the step between the ticks of a
// count up to `most` is 1, 2 or 5 times a power of ten, the smallest that
// needs no more than five ticks past 0.
int tickStep(int most)
{
    for (int scale = 1;; scale *= 10)
        for (const int factor : {1, 2, 5})
            if (most <= 5 * factor * scale)
                return factor * scale;
}

} // namespace

FiguresView::FiguresView(QWidget *parent) : QWidget(parent)
{
    m_gridCifras = new QTableWidget(0, 2, this);
    m_gridCifras->setObjectName(QStringLiteral("GridCifras"));
    ScreenReader::nameCorner(m_gridCifras);
    m_gridCifras->setHorizontalHeaderLabels({QStringLiteral("Cifra"), QStringLiteral("Valor")});
    m_gridCifras->verticalHeader()->hide();
    m_gridCifras->horizontalHeader()->setStretchLastSection(true);
    m_gridCifras->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_gridCifras->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridCifras->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridCifras->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridCifras->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitTableToItsRows();
    m_listNegativas = new QListWidget(this);
    m_listNegativas->setObjectName(QStringLiteral("ListNegativas"));
    m_listNegativas->setWordWrap(true);
    m_chartNotas = new QChartView(this);
    m_chartNotas->setObjectName(QStringLiteral("ChartNotas"));
    m_chartNotas->setMinimumHeight(180);
    ScreenReader::name(m_chartNotas, QStringLiteral("Distribución de las notas"));

    const auto label = [this](const QString &caption, QWidget *control) {
        auto *made = new QLabel(caption, this);
        made->setBuddy(control);
        ScreenReader::name(control, made);
        return made;
    };
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *left = new QVBoxLayout;
    left->addWidget(label(QStringLiteral("C&ifras del examen:"), m_gridCifras));
    left->addWidget(m_gridCifras);
    left->addWidget(label(QStringLiteral("Preguntas que discriminan al &revés:"), m_listNegativas));
    left->addWidget(m_listNegativas);
    layout->addLayout(left, 1);
    layout->addWidget(m_chartNotas, 1);
}

void FiguresView::fitTableToItsRows()
{
    // Every figure in view, none cut: rows as high as a line of text, and the
    // table as high as its rows, which are always the same few.
    const int rowHeight = m_gridCifras->fontMetrics().height() + 6;
    m_gridCifras->verticalHeader()->setDefaultSectionSize(rowHeight);
    const qsizetype figures = figuresTable::table(ExamFigures(), 0).exam.size() - 1; // not "Notas"
    m_gridCifras->setFixedHeight(m_gridCifras->horizontalHeader()->sizeHint().height() +
                                 int(figures) * rowHeight + 2 * m_gridCifras->frameWidth());
}

void FiguresView::clear()
{
    m_gridCifras->setRowCount(0);
    m_listNegativas->clear();
    m_table.reset();
}

QImage FiguresView::chartImage() const
{
    return m_chartNotas->grab().toImage();
}

void FiguresView::showFigures(const ExamFigures &figures, int pending,
                              const QList<HistoryQuestion> &questions)
{
    clear();
    fitTableToItsRows(); // in the font it has now that it is shown
    m_table = figuresTable::table(figures, pending);
    for (const auto &[name, value] : m_table->exam) {
        if (name == QStringLiteral("Notas"))
            continue; // the chart shows them
        const int row = m_gridCifras->rowCount();
        m_gridCifras->insertRow(row);
        for (int column = 0; column < 2; ++column) {
            auto *item = new QTableWidgetItem(column == 0 ? name : value);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_gridCifras->setItem(row, column, item);
        }
    }
    for (qsizetype q = 0; q < figures.questions.size(); ++q)
        if (figuresTable::negative(figures.questions[q]))
            m_listNegativas->addItem(
                QStringLiteral("Pregunta %1 (discrimina %2): %3")
                    .arg(q + 1)
                    .arg(figuresTable::decimal(figures.questions[q].discrimination),
                         questions.value(q).text));

    auto *set = new QBarSet(QStringLiteral("Hojas"));
    QStringList bands;
    int most = 0;
    for (int band = 0; band < 10; ++band) {
        *set << figures.bands[band];
        most = std::max(most, figures.bands[band]);
        bands << QStringLiteral("%1–%2").arg(band).arg(band + 1);
    }
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(figures.sheets == 1 ? QStringLiteral("Notas de 1 hoja")
                                        : QStringLiteral("Notas de %1 hojas").arg(figures.sheets));
    chart->legend()->hide();
    auto *axisX = new QBarCategoryAxis;
    axisX->append(bands);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    // No numbers at all when there are no grades, rather than an axis of
    // zeros.
    const int step = tickStep(most);
    const int top = qMax((most + step - 1) / step * step, step);
    auto *axisY = new QValueAxis;
    axisY->setRange(0, top);
    axisY->setTickCount(top / step + 1);
    axisY->setLabelFormat(QStringLiteral("%d"));
    axisY->setLabelsVisible(most > 0);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    QChart *old = m_chartNotas->chart();
    m_chartNotas->setChart(chart);
    delete old;
}
