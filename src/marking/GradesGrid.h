#pragma once
// The marking window's grades ("GridNotas"), one sheet a row in the scans'
// order until the teacher sorts by a heading: the DNI, the student's name
// (or that the DNI is not on the class list), the version, the counts, the
// points and grade with two decimals and a comma as the grades files write
// them (sorted as numbers), and the state: corrected, pending, or the page
// that was not scanned. Pending rows stand out in bold on yellow.

#include <QList>
#include <QTableWidget>

class MarkingSession;

class GradesGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit GradesGrid(QWidget *parent);

    void fill(const MarkingSession &session);
    // The sheets (their indexes in the marking) of the rows chosen, in the
    // marking's order; none when no row is.
    QList<int> chosenSheets() const;
};
