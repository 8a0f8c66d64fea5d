#pragma once
// What a selection window marks in the questions it lists: "•" after the
// number of a question earlier exams used, the latest of those exams in the
// number's tool tip and, for a question the marked sheets of the history
// held, what they say of it, with "!" when its discrimination is clearly
// negative (discrimination::clearlyNegative). A part each selection window
// owns: the window lists, the part marks the listing and marks it again when
// the window is activated, since an exam sent meanwhile may have used its
// questions. The history is read when first asked for and again only once it
// has changed.

#include "MarkedSheets.h"
#include "QuestionKind.h"
#include "QuestionListing.h"
#include "UsedQuestionsCache.h"

#include <QList>
#include <QPointer>

class FlexGrid;
class QWidget;

class QuestionMarks
{
public:
    // A history that cannot be read is told over `window`. `answerOf` is the
    // answer of a question of the history in the window's bank, for the
    // figures of an exam recorded before the history kept answers; none for
    // a window whose questions are never marked from sheets.
    explicit QuestionMarks(QWidget *window, AnswerOf answerOf = {});

    // The width, in twips, of `grid`'s number column that holds whole the
    // widest mark a number up to `largest` can carry, "26•!": two digits at
    // least, so that the column keeps its width from one short listing to
    // the next.
    static int numberColumnWidth(const FlexGrid *grid, int largest);

    // Marks `questions`, listed in `grid` each in the row of its position;
    // the listing is kept to be marked again.
    void mark(FlexGrid *grid, const QList<QuestionListing> &questions, QuestionKind kind);
    // The listing marked last, marked again as the history is now.
    void markAgain();
    // The questions earlier exams used, as the history holds them now; a
    // history that is damaged or cannot be read is told once a window opening.
    const UsedQuestions &usedQuestions();
    // What the marked sheets of the history say of each question, worked
    // out against answerOf; read again when the history has changed.
    const QuestionStatistics &questionStatistics();
    // The window closes: the history is read again, and a failure told
    // again, when it opens.
    void reset();

private:
    QWidget *m_window;
    AnswerOf m_answerOf;
    UsedQuestionsCache m_usedQuestions;
    struct Statistics
    {
        bool read = false;
        FileIdentity identity;
        QuestionStatistics figures;
    } m_statistics;
    struct Marked
    {
        QPointer<FlexGrid> grid;
        QList<QuestionListing> questions;
        QuestionKind kind = QuestionKind::TrueFalse;
    } m_marked;
};
