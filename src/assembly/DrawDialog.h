#pragma once
// "Elegir al azar…": the dialog, shared by both selection windows, in which
// the teacher sets how many questions to draw at random from each chapter
// (and each topic within it, or each kind of exposition question), whether
// to leave out those used by exams of the last months, and the seed. On
// "Aceptar" it refuses a plan the selection has no room for, draws (see
// ExamDraw), and where a line has fewer questions left than it asks, says so
// and lets the teacher take what there is or go back to the plan.
//
// The plan is a tree: a row per chapter, with a row per topic under it when
// the window gives topics, and a column of counts per kind. Each count is a
// spin box named "Cantidad_<column>_<chapter>_<topic>" (topic 0: the
// chapter's own row); the last column, "Dificultad_<chapter>_<topic>", asks
// that row's questions to be of one difficulty. Beside the months, a note
// ("NotaMeses") says how many questions of the lines asked for the months
// leave out now, told again as the plan and the months change.

#include "ExamDraw.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class QComboBox;
class QLabel;
class QSpinBox;
class QTreeWidget;
class UsedQuestions;

class DrawDialog : public QDialog
{
    Q_OBJECT

public:
    struct Column
    {
        QuestionKind kind = QuestionKind::TrueFalse;
        QString header; // "Preguntas", "Prácticas"…
        QString noun;   // "preguntas", "preguntas prácticas"…
        int limit = 0;  // the most the selection holds
        int room = 0;   // how many more it takes now
    };
    struct Chapter
    {
        QString title;
        QStringList topics; // empty: counts by chapter only
    };
    // The candidates of a plan line, in bank order (topic 0: the whole chapter).
    using Gather =
        std::function<QList<DrawQuestion>(QuestionKind kind, qint16 chapter, qint16 topic)>;
    struct Setup
    {
        QList<Column> columns;
        QList<Chapter> chapters; // chapter 1 first
        Gather gather;
        const UsedQuestions *used = nullptr;
        QList<std::pair<QuestionKind, QString>> selected;
        const QuestionStatistics *statistics = nullptr;
    };

    DrawDialog(const Setup &setup, QWidget *parent);

    // Shows the dialog modally; the questions drawn, in the order they are to
    // be added, or none when the teacher cancels.
    static QList<DrawQuestion> choose(const Setup &setup, QWidget *parent);

    void accept() override;

private:
    struct Count
    {
        int column;
        qint16 chapter;
        qint16 topic;
        QSpinBox *box;
    };
    QSpinBox *addCount(int column, qint16 chapter, qint16 topic);
    QComboBox *addDifficulty(qint16 chapter, qint16 topic);
    // Why the plan does not fit the selection; empty when it does.
    QString overflow() const;
    void showMonthsNote();

    Setup m_setup;
    QTreeWidget *m_plan = nullptr;
    QList<Count> m_counts;
    QHash<QPair<qint16, qint16>, QComboBox *> m_difficulties;
    QSpinBox *m_months = nullptr;
    QLabel *m_monthsNote = nullptr;
    // The candidates of the counts (by their place in m_counts) gathered for
    // the note: each line's file is read once while the plan is made.
    QHash<qsizetype, QList<DrawQuestion>> m_gathered;
    QSpinBox *m_seed = nullptr;
    QList<DrawQuestion> m_drawn;
};
