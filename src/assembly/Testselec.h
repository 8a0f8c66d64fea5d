#pragma once
// The true/false selection window: the teacher walks the bank by chapter and
// topic, double-clicks questions into a selection of up to 500 and hands the
// examination or its answer template to the output window. The selection lives in the cells of
// Grid1; the window reads QELMEXT2.DAT through its own TrueFalseBank and never
// writes it.

#include "ExamDraw.h"
#include "ExamText.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"
#include "UsedQuestions.h"
#include "WindowNames.h"
#include "WorkingWindow.h"

#include <QString>

class FlexGrid;
class QLabel;
class QListWidget;
class QPushButton;

class Testselec : public WorkingWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kTestselec;
    static constexpr int kMaxSelected = 500;

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

    void leaveSelection();
    void leaveWindow() override { leaveSelection(); }

    // Adds a question at the end of the selection, as double-clicking it in
    // Grid3 does; false, the teacher told, when the selection is full.
    bool addToSelection(const QString &text, const QString &answerLabel, qint16 chapter,
                        qint16 topic);
    // The selection in the teacher's order, each question with its chapter
    // and topic.
    QList<SelectedQuestion> selection() const;

    qint16 selectedCount() const { return m_selectedCount; }
    qint16 currentChapter() const { return m_currentChapter; }
    qint16 currentTopic() const { return m_currentTopic; }

private:
    void buildControls();
    void setUpColumns(FlexGrid *grid);
    void handOverToOutput(ExamDescription::Kind kind);
    void focusOnActivation() override;
    // A question chosen in the search field becomes the current row of Grid3.
    void showFound(const SearchEntry &entry);
    void tellReadFailure(const BankError &error);
    bool confirmLeaving() override;
    std::optional<bool> answerOf(const HistoryQuestion &question) override;
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
    qint16 m_selectedCount = 0;
    // The chapter and topic of each selected question, in Grid1's order.
    QList<std::pair<qint16, qint16>> m_selectedOrigins;
    // Questions listed in Grid3; its rows beyond them are fillers.
    int m_listedCount = 0;
    // A failed read of the bank is told once per opening of the window.
    bool m_readFailureTold = false;
};
