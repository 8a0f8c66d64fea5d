#include "SelectionWindow.h"

#include "BankErrors.h"
#include "ExamText.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "OpeningNotes.h"

#include <QLabel>

#include <utility>

namespace {

const QString kLeaveQuestion =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");

QString tooManyMessage(QuestionKind kind)
{
    return QStringLiteral("No se pueden seleccionar más de %1 preguntas")
        .arg(ExamSelection::limit(kind));
}

} // namespace

SelectionWindow::SelectionWindow(const QString &name, qint16 activeWindowCode,
                                 const QString &statusText, AnswerOf answerOf)
    : WorkingWindow(name, activeWindowCode, statusText), m_marks(this, std::move(answerOf))
{
}

void SelectionWindow::Form_Activate()
{
    WorkingWindow::Form_Activate();
    m_marks.markAgain();
}

void SelectionWindow::Form_Unload()
{
    WorkingWindow::Form_Unload();
    m_marks.reset();
}

void SelectionWindow::clearSelection()
{
    m_selection.clear();
    m_readFailureTold = {};
}

bool SelectionWindow::addToSelection(const ExamQuestion &question)
{
    if (!m_selection.add(question)) {
        MessageBox::inform(tooManyMessage(question.kind), this);
        return false;
    }
    const int row = m_selection.count(question.kind);
    showSelectedRow(question.kind, row);
    showCount();
    selectedGrid(question.kind)->scrollToRow(row);
    return true;
}

bool SelectionWindow::removeFromSelection(QuestionKind kind, int row)
{
    const int count = m_selection.count(kind);
    if (!m_selection.removeAt(kind, row - 1))
        return false;
    for (int i = row; i <= count; ++i)
        showSelectedRow(kind, i);
    showCount();
    return true;
}

void SelectionWindow::showCount()
{
    if (m_countLabel)
        m_countLabel->setText(QString::number(m_selection.count(shownKind())));
}

void SelectionWindow::numberSelectedRows(FlexGrid *grid, QuestionKind kind, int height)
{
    const int limit = ExamSelection::limit(kind);
    grid->setRows(limit + 1);
    for (int row = 1; row <= limit; ++row) {
        grid->setRowHeight(row, height);
        grid->setTextMatrix(row, 0, QString::number(row));
    }
}

void SelectionWindow::tellReadFailure(QuestionKind kind, const BankError &error)
{
    if (error.code == BankErrorCode::NotOpen || std::exchange(m_readFailureTold[int(kind)], true))
        return;
    MessageBox::inform(unreadableBank(error), this);
}

void SelectionWindow::drawToPlan(DrawDialog::Setup setup)
{
    for (DrawDialog::Column &column : setup.columns) {
        column.limit = ExamSelection::limit(column.kind);
        column.room = m_selection.room(column.kind);
    }
    for (const ExamQuestion &question : m_selection.all())
        setup.selected.append({question.kind, question.text});
    setup.used = &m_marks.usedQuestions();
    setup.statistics = &m_marks.questionStatistics();
    for (const DrawQuestion &drawn : DrawDialog::choose(setup, this))
        addToSelection({drawn.kind, drawn.chapter, drawn.topic, drawn.text, drawn.answer});
}

void SelectionWindow::handOverSelection(ExamDescription::Kind kind)
{
    ExamDescription exam;
    exam.kind = kind;
    exam.selection = m_selection;
    handOverToOutput(composeText(exam), exam);
}

bool SelectionWindow::confirmLeaving()
{
    return m_selection.isEmpty() || !MessageBox::askCancelled(kLeaveQuestion, this);
}

void SelectionWindow::leaveSelection()
{
    if (isUnloading())
        return;
    if (!confirmLeaving()) {
        stayOpen();
        return;
    }
    closeWindow();
}
