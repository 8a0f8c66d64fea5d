#include "Testmodi.h"

#include "AnswerLabel.h"
#include "ChapterTitles.h"
#include "ColouredButton.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "OpenFiles.h"
#include "ProgramState.h"
#include "QuestionSearch.h"
#include "ScreenReader.h"
#include "Twips.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kStatusText = QStringLiteral("Añadir / Modificar / Eliminar preguntas tipo test");
const QString kLeaveQuestion =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de tipo test?");
const QString kNoAnswer = QStringLiteral("No se ha especificado la respuesta correcta");
const QString kTopicFull =
    QStringLiteral("No se pueden añadir más de 50 preguntas en un mismo tema");

const QColor kBackground(192, 255, 192);

// Geometry in twips.
constexpr int kClientWidth = 9480;
constexpr int kClientHeight = 6795;
constexpr int kRowHeight = 450;
constexpr int kMinimumGridRows = 5; // the header and at least 4 data rows
constexpr int kRecordColumn = 3;

} // namespace

Testmodi::Testmodi()
    : MaintenanceWindow(kName, ActiveWindowCodes::kTrueFalseMaintenance, kStatusText,
                        kLeaveQuestion)
{
    setWindowTitle(QStringLiteral("Añadir / modificar / eliminar preguntas tipo test"));
    buildControls();
}

void Testmodi::buildControls()
{
    setDesign(kClientWidth, kClientHeight, kBackground);
    setDesignFont();

    Controls c;
    QLabel *caption = addLabel(this, QStringLiteral("Label1_0"), QStringLiteral("Capítulos:"),
                               Twips::rect(150, 0, 0, 0));
    m_list1 = c.list1 = new QListWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(Twips::rect(1290, 30, 8055, 645));
    ScreenReader::name(m_list1, caption);
    caption = addLabel(this, QStringLiteral("Label1_1"), QStringLiteral("Temas:"),
                       Twips::rect(150, 690, 0, 0));
    m_list2 = new QListWidget(this);
    m_list2->setObjectName(QStringLiteral("List2"));
    m_list2->setGeometry(Twips::rect(1290, 720, 8055, 1035));
    ScreenReader::name(m_list2, caption);
    c.command7 = ColouredButton::createHelp(this, QStringLiteral("Command7"),
                                            Twips::rect(240, 1230, 675, 315));

    addQuestionGrid(c, 1860, 1860, 270, 2130, 1695, 4, kRecordColumn);
    m_grid3 = c.grid3;

    addBrowsingButtons(c, 4020);

    QGroupBox *frame3 =
        addFrame(this, QStringLiteral("Frame3"), QStringLiteral(" Actualizar la base de datos "),
                 Twips::rect(60, 4440, 9315, 1935));
    QGroupBox *frame1 = addFrame(frame3, QStringLiteral("Frame1"), QStringLiteral("Pregunta "),
                                 Twips::rect(90, 270, 7095, 1515));
    addEditingControls(c, frame1, Twips::rect(120, 300, 6825, 1005), false, frame3,
                       Twips::rect(7440, 1230, 1605, 255), Twips::rect(7440, 1530, 1605, 255),
                       3360);
    QGroupBox *frame2 =
        addFrame(frame3, QStringLiteral("Frame2"), QStringLiteral("Respuesta correcta"),
                 Twips::rect(7260, 270, 1965, 915));
    m_answers = new QButtonGroup(this);
    const QString captions[2] = {QStringLiteral("Sí (verdadero)"), QStringLiteral("No (falso)")};
    const QRect places[2] = {Twips::rect(180, 240, 1605, 240), Twips::rect(180, 570, 1545, 240)};
    for (int i = 0; i < 2; ++i) {
        m_option1[i] = new QRadioButton(captions[i], frame2);
        m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        m_option1[i]->setGeometry(places[i]);
        m_answers->addButton(m_option1[i], i);
    }
    c.editingOnly = {frame1, frame2, frame3, m_option1[0], m_option1[1]};

    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click();
    });
    connect(m_list2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List2_Click();
    });
    setControls(c);
}

void Testmodi::Form_Load()
{
    QCoreApplication::processEvents();
    closeAllFiles();
    const BankError opened = m_bank.openBank();
    m_list1->addItems(ChapterTitles::entries());
    setUpColumns();
    m_grid3->setCurrentCell(0, 0);
    centreOverMainWindow();
    m_list1->setCurrentRow(0);

    if (!opened.ok()) {
        showOpeningNotice(QStringLiteral("No se ha podido abrir el banco de preguntas %1: %2")
                              .arg(TrueFalseBank::loadName(),
                                   opened.detail.isEmpty() ? opened.message : opened.detail));
        return;
    }
    showOpeningNotice(m_bank.openingNotes());
}

void Testmodi::setUpColumns()
{
    m_grid3->setTextMatrix(0, 0, QStringLiteral("Nº"));
    m_grid3->setTextMatrix(0, 1, QStringLiteral("PREGUNTA"));
    m_grid3->setTextMatrix(0, 2, QStringLiteral("Resp."));
    m_grid3->setColWidth(0, 360);
    m_grid3->setColWidth(1, kGridWidth - 1300);
    m_grid3->setColWidth(2, 600);
    m_grid3->setColAlignment(0, Qt::AlignHCenter);
    m_grid3->setColAlignment(2, Qt::AlignHCenter);
    for (int col = 0; col < 3; ++col)
        m_grid3->setFixedAlignment(col, Qt::AlignHCenter);
}

void Testmodi::focusOnActivation()
{
    m_list1->setFocus();
}

void Testmodi::List1_Click()
{
    m_list2->clear();
    m_currentChapter = qint16(m_list1->currentRow() + 1);
    m_list2->addItems(m_catalogue.topicTitles(m_currentChapter));
    m_list2->setCurrentRow(0);
}

void Testmodi::List2_Click()
{
    m_grid3->clear();
    m_currentTopic = qint16(m_list2->currentRow() + 1);
    const BankResult<QList<QuestionListing>> listing =
        m_bank.questionsOf(m_currentChapter, m_currentTopic);
    m_listed = listing.ok() ? listing.value() : QList<QuestionListing>();

    setUpColumns();
    prepareListingRows(m_grid3, int(m_listed.size()), kMinimumGridRows, kRowHeight);
    for (const QuestionListing &question : std::as_const(m_listed)) {
        m_grid3->setTextMatrix(question.position, kRecordColumn,
                               QString::number(question.recordNumber));
        m_grid3->setTextMatrix(question.position, 1, question.text);
        m_grid3->setTextMatrix(question.position, 2, answerLabel(question.answer));
    }
}

void Testmodi::startModifyingRow(int row)
{
    const bool yes = row >= 1 && row <= m_listed.size() && m_listed.at(row - 1).answer;
    m_option1[yes ? 0 : 1]->setChecked(true);
}

bool Testmodi::readyToAdd()
{
    if (m_answers->checkedId() >= 0)
        return true;
    MessageBox::inform(kNoAnswer, this);
    return false;
}

void Testmodi::loadSearch(QuestionSearch &search)
{
    SearchField::addTrueFalse(search, m_bank);
}

void Testmodi::goToPlace(const SearchEntry &entry)
{
    m_list1->setCurrentRow(entry.chapter - 1);
    m_list2->setCurrentRow(entry.topic - 1);
}

std::optional<MaintenanceWindow::NearQuestion> Testmodi::nearDuplicateOf(const QString &text,
                                                                         qint32 except)
{
    // A modification stays in the chapter of its record, whatever chapter is
    // chosen meanwhile. What cannot be read is checked no further; writing
    // the change then tells why.
    int chapter = m_currentChapter;
    if (except > 0) {
        const BankResult<TrueFalseRecord> record = m_bank.readRecord(except);
        if (!record)
            return std::nullopt;
        chapter = record->chapter;
    }
    QStringList texts;
    QList<int> topics;
    for (int topic = 1; topic <= TrueFalseBank::kTopics; ++topic) {
        const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(chapter, topic);
        if (!listing)
            break;
        for (const QuestionListing &question : *listing) {
            if (question.recordNumber == except)
                continue;
            texts.append(question.text);
            topics.append(topic);
        }
    }
    const qsizetype near = questionSearch::firstNearDuplicate(text, texts);
    if (near < 0)
        return std::nullopt;
    return NearQuestion{QStringLiteral("capítulo %1, tema %2").arg(chapter).arg(topics.at(near)),
                        texts.at(near)};
}

BankError Testmodi::writeModification(qint32 record, const QString &text)
{
    BankResult<TrueFalseRecord> read = m_bank.readRecord(record);
    if (!read.ok())
        return read.error();
    TrueFalseRecord changed = read.value();
    changed.text = text;
    if (m_option1[0]->isChecked())
        changed.answer = 1;
    else if (m_option1[1]->isChecked())
        changed.answer = 0;
    return m_bank.writeRecord(record, changed);
}

BankError Testmodi::writeAddition(const QString &text)
{
    TrueFalseRecord added;
    added.chapter = m_currentChapter;
    added.topic = m_currentTopic;
    added.text = text;
    added.answer = m_option1[0]->isChecked() ? 1 : 0;
    const BankResult<qint32> appended = m_bank.appendRecord(added);
    return appended.ok() ? BankError() : appended.error();
}

BankError Testmodi::deleteFromBank(qint32 record)
{
    return m_bank.deleteRecord(record);
}

QString Testmodi::fullMessage() const
{
    return kTopicFull;
}

int Testmodi::textWidth() const
{
    return TrueFalseRecord::kTextWidth;
}

QWidget *Testmodi::focusAfterGridDoubleClick() const
{
    return m_list2;
}

void Testmodi::clearEditExtras()
{
    // Both options cleared: an exclusive group never lets the last one go.
    m_answers->setExclusive(false);
    for (QRadioButton *option : m_option1)
        option->setChecked(false);
    m_answers->setExclusive(true);
}
