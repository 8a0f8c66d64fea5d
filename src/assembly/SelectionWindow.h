#pragma once
// What the two selection windows do alike, written once: they keep what the
// teacher chose as one ExamSelection, of which their Grid1 grids are views;
// they add a question (refusing one beyond its kind's limit with a message
// that quotes that limit) and take one out; they say once a kind and opening
// when its bank file cannot be read, while listing or while drawing; they ask
// before a selection is lost; "Elegir al azar…" adds what the draw chose as
// double-clicks would; and they hand the exam described by the selection to
// the output window. Testselec and Examselec add their controls, their
// listings and what their grids show.

#include "DrawDialog.h"
#include "ExamDescription.h"
#include "WorkingWindow.h"

#include <array>

struct BankError;
class QLabel;

class SelectionWindow : public WorkingWindow
{
    Q_OBJECT

public:
    using WorkingWindow::WorkingWindow;

    const ExamSelection &selection() const { return m_selection; }

    // Adds a question at the end of its kind's selection, as double-clicking
    // it does; false, the teacher told, when that selection is full.
    bool addToSelection(const ExamQuestion &question);

    void leaveSelection();
    void leaveWindow() override { leaveSelection(); }

protected:
    // At load: nothing selected, nothing told yet.
    void clearSelection();
    // Takes out the question in `row` (from 1) of `kind`'s Grid1, the rows
    // below moving up; false when the row holds none.
    bool removeFromSelection(QuestionKind kind, int row);
    // Rows 1 to the kind's limit of its Grid1, numbered and `height` high.
    static void numberSelectedRows(FlexGrid *grid, QuestionKind kind, int height);
    // The label that shows the count of the kind shown.
    void setCountLabel(QLabel *label) { m_countLabel = label; }
    // Tells why a bank file could not be read, once a kind and opening; a
    // file that failed to open lists nothing and was told on opening.
    void tellReadFailure(QuestionKind kind, const BankError &error);
    // "Elegir al azar…": the dialog set up with the columns' limits and room
    // and the questions already chosen, and what it draws added in order.
    void drawToPlan(DrawDialog::Setup setup);
    // The exam of `kind` made of the selection, composed and handed over.
    void handOverSelection(ExamDescription::Kind kind);
    bool confirmLeaving() override;

    // The kind whose selection Grid1 and the count show now.
    virtual QuestionKind shownKind() const = 0;
    // Writes `row` of `kind`'s Grid1 from the selection: its question, or
    // nothing beyond the last one.
    virtual void showSelectedRow(QuestionKind kind, int row) = 0;
    virtual FlexGrid *selectedGrid(QuestionKind kind) const = 0;

private:
    void showCount();

    ExamSelection m_selection;
    QLabel *m_countLabel = nullptr;
    std::array<bool, kQuestionKinds.size()> m_readFailureTold{};
};
