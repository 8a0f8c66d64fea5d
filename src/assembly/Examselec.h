#pragma once
// The exposition selection window: the teacher picks a kind (conceptual,
// practical, brief) and a chapter, double-clicks questions into that kind's
// selection of up to 100, and hands one examination with a section per kind
// to the output window. Each kind's selection shows in its own Grid1
// (SelectionWindow); the window reads the kind's file through its own
// ExpositionBank and never writes it.

#include "ExamDraw.h"
#include "ExpositionBank.h"
#include "ExpositionKind.h"
#include "SelectionWindow.h"
#include "WindowNames.h"

#include <QString>

#include <array>

class FlexGrid;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

class Examselec : public SelectionWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kExamselec;

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

    ExpositionKind currentKind() const { return m_currentKind; }
    qint16 currentChapter() const { return m_currentChapter; }
    qint16 selectedCount(ExpositionKind kind) const
    {
        return qint16(selection().count(questionKind::fromExposition(kind)));
    }

private:
    void buildControls();
    void setUpGrid3Columns();
    FlexGrid *visibleGrid1() const { return m_grid1[int(m_currentKind)]; }
    void focusOnActivation() override;
    QuestionKind shownKind() const override { return questionKind::fromExposition(m_currentKind); }
    void showSelectedRow(QuestionKind kind, int row) override;
    FlexGrid *selectedGrid(QuestionKind kind) const override
    {
        return m_grid1[int(questionKind::expositionKind(kind))];
    }
    // A question chosen in the search field: its kind and chapter are shown
    // and it becomes the current row of Grid3.
    void showFound(const SearchEntry &entry);
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
    // The questions listed in Grid3, row 1 first; its rows beyond them are
    // fillers.
    QList<QuestionListing> m_listed;
    // What a kind's file could not show, or why it could not be opened, is
    // told once per kind and opening of the window.
    std::array<bool, kExpositionKindCount> m_notesTold{};
};
