#pragma once
// The true/false selection window: the teacher walks the bank by chapter and
// topic, double-clicks questions into a selection of up to 500 and hands the
// examination or its answer template to the output window. Grid1 shows the
// selection (SelectionWindow); the window reads QELMEXT2.DAT through its own
// TrueFalseBank and never writes it.

#include "ExamDraw.h"
#include "SelectionWindow.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"
#include "WindowNames.h"

#include <QString>

class FlexGrid;
class QLabel;
class QListWidget;
class QPushButton;

class Testselec : public SelectionWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kTestselec;

    Testselec();

    void Form_Load() override;

    void List1_Click();
    void List2_Click();
    void Grid3_DblClick();
    void Grid1_DblClick();
    void Command1_Click();
    void Command5_Click();
    void Command2_Click();
    void Command3_Click();
    void CommandAzar_Click();

    qint16 selectedCount() const { return qint16(selection().count(QuestionKind::TrueFalse)); }
    qint16 currentChapter() const { return m_currentChapter; }
    qint16 currentTopic() const { return m_currentTopic; }

private:
    void buildControls();
    void setUpColumns(FlexGrid *grid);
    void focusOnActivation() override;
    QuestionKind shownKind() const override { return QuestionKind::TrueFalse; }
    void showSelectedRow(QuestionKind kind, int row) override;
    FlexGrid *selectedGrid(QuestionKind) const override { return m_grid1; }
    // A question chosen in the search field becomes the current row of Grid3.
    void showFound(const SearchEntry &entry);
    // The answer of a question of the history, for its marks.
    std::optional<bool> answerOf(const HistoryQuestion &question);
    // A topic's questions (topic 0: the whole chapter's), to draw from.
    QList<DrawQuestion> drawCandidates(qint16 chapter, qint16 topic);

    QListWidget *m_list1 = nullptr;
    QListWidget *m_list2 = nullptr;
    QPushButton *m_command3 = nullptr;
    FlexGrid *m_grid3 = nullptr;
    FlexGrid *m_grid1 = nullptr;
    QLabel *m_label3 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_commandAzar = nullptr;
    QPushButton *m_command2 = nullptr;

    TopicCatalogue m_catalogue;
    TrueFalseBank m_bank;
    qint16 m_currentChapter = 0;
    qint16 m_currentTopic = 0;
    // The questions listed in Grid3, row 1 first; its rows beyond them are
    // fillers.
    QList<QuestionListing> m_listed;
};
