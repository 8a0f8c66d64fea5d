#pragma once
// Under the marking window's grades, what the pile leaves to know: the
// pages refused ("ListRechazadas": page, file and reason, kept as long as
// the marking is shown) and the students of the class list with no sheet
// ("LabelAusentes").

#include <QWidget>

class QListWidget;
class QLabel;
class MarkingSession;

class PileNotices : public QWidget
{
    Q_OBJECT

public:
    explicit PileNotices(QWidget *parent);
    void fill(const MarkingSession &session);

private:
    QListWidget *m_listRechazadas = nullptr;
    QLabel *m_labelAusentes = nullptr;
};
