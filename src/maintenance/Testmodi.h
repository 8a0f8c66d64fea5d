#pragma once
// The true/false maintenance window: the teacher walks the bank by chapter
// and topic and adds, modifies and deletes questions of QELMEXT2.DAT. Every
// change is written at once and is durable before the teacher is told
// "Base de datos actualizada".

#include "MaintenanceWindow.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"
#include "WindowNames.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;

class Testmodi : public MaintenanceWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kTestmodi;

    Testmodi();

    void Form_Load() override;
    void List1_Click();
    void List2_Click();

    qint16 currentChapter() const { return m_currentChapter; }
    qint16 currentTopic() const { return m_currentTopic; }

protected:
    void focusOnActivation() override;
    void redrawGrid() override { List2_Click(); }
    void startModifyingRow(int row) override;
    bool readyToAdd() override;
    std::optional<NearQuestion> nearDuplicateOf(const QString &text, qint32 except) override;
    void loadSearch(QuestionSearch &search) override;
    void goToPlace(const SearchEntry &entry) override;
    BankError writeModification(qint32 record, const QString &text) override;
    BankError writeAddition(const QString &text) override;
    BankError deleteFromBank(qint32 record) override;
    QString fullMessage() const override;
    int textWidth() const override;
    void clearEditExtras() override;
    QWidget *focusAfterGridDoubleClick() const override;

private:
    void buildControls();
    void setUpColumns();

    QListWidget *m_list1 = nullptr;
    QListWidget *m_list2 = nullptr;
    FlexGrid *m_grid3 = nullptr;
    QRadioButton *m_option1[2] = {};
    QButtonGroup *m_answers = nullptr;

    TopicCatalogue m_catalogue;
    TrueFalseBank m_bank;
    qint16 m_currentChapter = 0;
    qint16 m_currentTopic = 0;
    // The questions listed in Grid3, row 1 first.
    QList<QuestionListing> m_listed;
};
