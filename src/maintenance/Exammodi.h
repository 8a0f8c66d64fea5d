#pragma once
// The exposition maintenance window: the teacher picks a kind (conceptual,
// practical, brief) and a chapter and adds, modifies and deletes questions of
// that kind's file. Choosing another kind closes one file, opens the other
// and drops an edit in progress. Every change is written at once and is
// durable before the teacher is told "Base de datos actualizada".

#include "ExpositionBank.h"
#include "MaintenanceWindow.h"
#include "WindowNames.h"

#include <array>

class QRadioButton;

class Exammodi : public MaintenanceWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kExammodi;

    Exammodi();

    void Form_Load() override;
    void Option1_Click(int index);
    void List1_Click();

    ExpositionKind currentKind() const { return m_bank.kind(); }
    qint16 currentChapter() const { return m_currentChapter; }

protected:
    void focusOnActivation() override;
    void redrawGrid() override { List1_Click(); }
    std::optional<NearQuestion> nearDuplicateOf(const QString &text, qint32 except) override;
    void loadSearch(QuestionSearch &search) override;
    void goToPlace(const SearchEntry &entry) override;
    BankError writeModification(qint32 record, const QString &text) override;
    BankError writeAddition(const QString &text) override;
    BankError deleteFromBank(qint32 record) override;
    QString fullMessage() const override;
    int textWidth() const override;
    QWidget *focusAfterCancel() const override;

private:
    void buildControls();
    void setUpColumns();

    QListWidget *m_list1 = nullptr;
    FlexGrid *m_grid3 = nullptr;
    std::array<QRadioButton *, kExpositionKindCount> m_option1{};

    ExpositionBank m_bank;
    qint16 m_currentChapter = 0;
    // What a kind's file had to report has been said once.
    std::array<bool, kExpositionKindCount> m_noticeShown{};
};
