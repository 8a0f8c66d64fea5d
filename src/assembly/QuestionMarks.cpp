#include "QuestionMarks.h"

#include "Discrimination.h"
#include "FiguresTable.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QtMath>

#include <utility>

namespace {

// Room beside a number in the fixed column: the grid's padding (2 pixels a
// side) and border (1), and a pixel to spare each side.
constexpr int kNumberMargin = 7;

void markListing(FlexGrid *grid, const QList<QuestionListing> &questions, QuestionKind kind,
                 const UsedQuestions &used, const QuestionStatistics &statistics)
{
    if (used.isEmpty())
        return;
    for (const QuestionListing &question : questions) {
        const QList<QuestionUse> uses = used.uses(kind, question.text);
        if (uses.isEmpty())
            continue;
        QString number = QString::number(question.position) + QStringLiteral("•");
        QString tip = UsedQuestions::toolTip(uses);
        if (!statistics.isEmpty()) {
            const ItemAnalysis::Pooled pooled = statistics.pooled(kind, question.text);
            if (const QString summary = ItemAnalysis::summary(pooled); !summary.isEmpty())
                tip += QLatin1Char('\n') + summary;
            if (discrimination::clearlyNegative(pooled.sheets, pooled.discrimination)) {
                number += QLatin1Char('!');
                tip += QLatin1Char('\n') + figuresTable::kNegativeNote.at(0).toUpper() +
                       figuresTable::kNegativeNote.mid(1);
            }
        }
        grid->setTextMatrix(question.position, 0, number);
        grid->setCellToolTip(question.position, 0, tip);
    }
}

} // namespace

int QuestionMarks::numberColumnWidth(const FlexGrid *grid, int largest)
{
    const QString widest = QString::number(qMax(largest, 99)) + QStringLiteral("•!");
    const int pixels =
        grid->view()->verticalHeader()->fontMetrics().horizontalAdvance(widest) + kNumberMargin;
    return qCeil(Twips::fromPixelsX(pixels, Twips::screenOf(grid)));
}

QuestionMarks::QuestionMarks(QWidget *window, AnswerOf answerOf)
    : m_window(window), m_answerOf(std::move(answerOf))
{
}

const UsedQuestions &QuestionMarks::usedQuestions()
{
    QString message;
    const UsedQuestions &used = m_usedQuestions.current(&message);
    if (!message.isEmpty())
        MessageBox::inform(message, m_window);
    return used;
}

void QuestionMarks::mark(FlexGrid *grid, const QList<QuestionListing> &questions, QuestionKind kind)
{
    m_marked = {grid, questions, kind};
    markAgain();
}

void QuestionMarks::markAgain()
{
    if (m_marked.grid)
        markListing(m_marked.grid, m_marked.questions, m_marked.kind, usedQuestions(),
                    questionStatistics());
}

const QuestionStatistics &QuestionMarks::questionStatistics()
{
    const FileIdentity now = FileIdentity::of(ExamHistory::kFileName);
    if (m_statistics.read && now == m_statistics.identity)
        return m_statistics.figures;
    m_statistics.read = true;
    m_statistics.identity = now;
    m_statistics.figures = {};
    // A history that cannot be read is told by usedQuestions(), once.
    ExamHistory history;
    QString error = history.open(ExamHistory::Access::ReadOnly);
    if (!error.isEmpty())
        return m_statistics.figures;
    const QList<MarkedExam> exams = markedSheets::read(history, 0, &error);
    m_statistics.figures = QuestionStatistics::of(exams, m_answerOf);
    return m_statistics.figures;
}

void QuestionMarks::reset()
{
    m_usedQuestions.reset();
    m_statistics = {};
}
