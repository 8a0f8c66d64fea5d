#pragma once
// The search field "Buscar" of the selection and maintenance windows: from
// the third character typed it lists the questions of the window's kinds,
// anywhere in the bank, whose text contains every word typed (see
// QuestionSearch), each with its place and the words marked. Up and Down move
// along the list, Enter or a double-click chooses a question, Esc closes the
// list. The window says how its questions are read, how a place is named and
// where a chosen question is shown.
//
// The questions are read when a search starts (the list was closed) and kept
// while the teacher goes on typing, so that each keystroke only searches;
// the next search reads the bank again, with whatever changed meanwhile.

#include "QuestionSearch.h"

#include <QObject>
#include <QRect>
#include <functional>

class ExpositionBank;
class FlexGrid;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;
class TrueFalseBank;

class SearchField : public QObject
{
    Q_OBJECT

public:
    // Fills the search with the questions of the window's kinds.
    using Load = std::function<void(QuestionSearch &search)>;
    // Shows the chosen question as the current row of the window's grid.
    using Choose = std::function<void(const SearchEntry &entry)>;

    // Most results listed; a query that finds more lists the first ones.
    static constexpr int kMaxListed = 200;

    // The label "Buscar:" (Alt+B) and the line edit Buscar at `geometry`
    // (pixels) of `window`; the list of results, BuscarResultados, opens
    // over the window right above the field.
    SearchField(QWidget *window, const QRect &geometry, Load load, Choose choose);

    // What the windows load: every question a topic list of the true/false
    // bank reaches; every question of the three exposition kinds, `bank`'s
    // open kind read through it and the others from their files, if they
    // exist (none is created).
    static void addTrueFalse(QuestionSearch &search, TrueFalseBank &bank);
    static void addExposition(QuestionSearch &search, ExpositionBank &bank);
    // "Capítulo 4, tema 2"; "Práctica, capítulo 4".
    static QString placeOf(const SearchEntry &entry);
    // Makes `row` the current row of `grid`, in view, and gives it the focus.
    static void showRow(FlexGrid *grid, int row);

    QLineEdit *edit() const { return m_edit; }
    QListWidget *results() const { return m_results; }
    void setEnabled(bool enabled);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void choose(int row);
    void closeResults();

    QWidget *m_window;
    QLabel *m_label;
    QLineEdit *m_edit;
    QListWidget *m_results;
    Load m_load;
    Choose m_choose;
    QuestionSearch m_search;
    QList<qsizetype> m_found;
    bool m_loaded = false;
};
