#pragma once
// What the two selection windows do alike, written once: they keep what the
// teacher chose as one ExamSelection, of which their Grid1 grids are views;
// they add a question (refusing one beyond its kind's limit with a message
// that quotes that limit) and take one out; they say once a kind and opening
// when its bank file cannot be read, while listing or while drawing; they ask
// before a selection is lost; "Elegir al azar…" adds what the draw chose as
// double-clicks would; and they hand the exam described by the selection to
// the output window. Each owns the marks of the questions it lists
// (QuestionMarks), marked again whenever it is activated. Testselec and
// Examselec add their controls, their listings and what their grids show.

#include "DrawDialog.h"
#include "ExamDescription.h"
#include "QuestionMarks.h"
#include "WorkingWindow.h"

#include <array>

struct BankError;
class QLabel;

class SelectionWindow : public WorkingWindow
{
    Q_OBJECT

public:
    // `answerOf`: the answer of a question of the history in the window's
    // bank, as QuestionMarks asks it.
    SelectionWindow(const QString &name, qint16 activeWindowCode, const QString &statusText,
                    AnswerOf answerOf = {});

    const ExamSelection &selection() const { return m_selection; }

    // Adds a question at the end of its kind's selection, as double-clicking
    // it does; false, the teacher told, when that selection is full.
    bool addToSelection(const ExamQuestion &question);

    void leaveSelection();
    void leaveWindow() override { leaveSelection(); }

    // Back from the output window, the exam just sent shows in the listing.
    void Form_Activate() override;
    void Form_Unload() override;

protected:
    // At load: nothing selected, nothing told yet.
    void clearSelection();
    // Takes out the question in `row` (from 1) of `kind`'s Grid1, the rows
    // below moving up; false when the row holds none.
    bool removeFromSelection(QuestionKind kind, int row);
    // Rows 1 to the kind's limit of its Grid1, numbered and `height` high.
    static void numberSelectedRows(FlexGrid *grid, QuestionKind kind, int height);
    // What earlier exams and their marked sheets say of the listed questions.
    QuestionMarks &marks() { return m_marks; }
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
    QuestionMarks m_marks;
    QLabel *m_countLabel = nullptr;
    std::array<bool, kQuestionKinds.size()> m_readFailureTold{};
};
