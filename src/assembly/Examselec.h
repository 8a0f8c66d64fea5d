#pragma once
// The exposition selection window: the teacher picks a kind (conceptual,
// practical, brief) and a chapter, double-clicks questions into that kind's
// selection of up to 100, and hands one examination with a section per kind
// to the output window. Each kind's selection lives in the cells of its own
// Grid1; the window reads the kind's file through its own ExpositionBank and
// never writes it.

#include "ExamDraw.h"
#include "ExpositionBank.h"
#include "ExpositionKind.h"
#include "UsedQuestions.h"
#include "WindowNames.h"
#include "WorkingWindow.h"

#include <QString>

#include <array>

class FlexGrid;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

class Examselec : public WorkingWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kExamselec;
    static constexpr int kMaxSelected = 100; // per kind

    Examselec();

    void Form_Load() override;

    void Option1_Click(int index);
    void List1_Click();
    void Grid3_DblClick();
    void Grid1_DblClick(int index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void CommandAzar_Click();

    void showKind(ExpositionKind kind);
    void showChapter();
    void addQuestion();
    void removeQuestion();
    void leaveSelection();
    void leaveWindow() override { leaveSelection(); }

    // Adds a question at the end of the selection of its kind, as
    // double-clicking it in Grid3 does; false, the teacher told, when that
    // selection is full.
    bool addToSelection(ExpositionKind kind, const QString &text, qint16 chapter);
    // A kind's selection in the teacher's order.
    QStringList selection(ExpositionKind kind) const;
    // The chapter of each question of a kind's selection, in the same order.
    QList<qint16> selectedChapters(ExpositionKind kind) const
    {
        return m_selectedChapters[int(kind)];
    }

    ExpositionKind currentKind() const { return m_currentKind; }
    qint16 currentChapter() const { return m_currentChapter; }
    qint16 selectedCount(ExpositionKind kind) const { return m_selectedCount[int(kind)]; }

private:
    void tellReadFailure(const BankError &error);
    void buildControls();
    void setUpGrid3Columns();
    FlexGrid *visibleGrid1() const { return m_grid1[int(m_currentKind)]; }
    void focusOnActivation() override;
    // A question chosen in the search field: its kind and chapter are shown
    // and it becomes the current row of Grid3.
    void showFound(const SearchEntry &entry);
    bool confirmLeaving() override;
    // A chapter's questions of a kind, to draw from; the kind's file is
    // opened for them (the current kind's again once the draw is over).
    QList<DrawQuestion> drawCandidates(QuestionKind kind, qint16 chapter);

    QGroupBox *m_frame1 = nullptr;
    std::array<QRadioButton *, kExpositionKindCount> m_option1{};
    QListWidget *m_list1 = nullptr;
    FlexGrid *m_grid3 = nullptr;
    std::array<FlexGrid *, kExpositionKindCount> m_grid1{};
    QLabel *m_label3 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_commandAzar = nullptr;

    ExpositionBank m_bank;
    ExpositionKind m_currentKind = ExpositionKind::Conceptual;
    qint16 m_currentChapter = 0;
    std::array<qint16, kExpositionKindCount> m_selectedCount{};
    std::array<QList<qint16>, kExpositionKindCount> m_selectedChapters;
    // Questions listed in Grid3; its rows beyond them are fillers.
    int m_listedCount = 0;
    // What a kind's file could not show, or why it could not be opened or
    // read, is told once per kind and opening of the window.
    std::array<bool, kExpositionKindCount> m_notesTold{};
    std::array<bool, kExpositionKindCount> m_readFailureTold{};
};
