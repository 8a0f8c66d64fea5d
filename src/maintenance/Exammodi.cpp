#include "Exammodi.h"

#include "ChapterTitles.h"
#include "ColouredButton.h"
#include "FlexGrid.h"
#include "OpenFiles.h"
#include "ProgramState.h"
#include "QuestionSearch.h"
#include "ScreenReader.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kStatusText = QStringLiteral(
    "Añadir / Modificar / Eliminar preguntas de exposición: conceptuales / prácticas / breves");
const QString kLeaveQuestion =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de exposición?");
const QString kChapterFull =
    QStringLiteral("No se pueden añadir más de %1 preguntas de este tipo en un mismo capítulo");

const QColor kBackground(192, 255, 192);

// Geometry in twips.
constexpr int kClientWidth = 9480;
constexpr int kClientHeight = 6795;
constexpr int kRowHeight = 450;
constexpr int kMinimumGridRows = 5; // the header and at least 4 data rows
constexpr int kRecordColumn = 2;
constexpr int kRowBase = 360;
constexpr int kRowMinimum = 420;

} // namespace

Exammodi::Exammodi()
    : MaintenanceWindow(kName, ActiveWindowCodes::kExpositionMaintenance, kStatusText,
                        kLeaveQuestion)
{
    setWindowTitle(QStringLiteral("Añadir / modificar / eliminar preguntas de exposición"));
    buildControls();
}

void Exammodi::buildControls()
{
    setDesign(kClientWidth, kClientHeight, kBackground);
    setDesignFont();

    Controls c;
    QGroupBox *frame4 = addFrame(this, QStringLiteral("Frame4"), QStringLiteral("Tipo de pregunta"),
                                 Twips::rect(120, 90, 2085, 1125));
    for (int k = 0; k < kExpositionKindCount; ++k) {
        m_option1[k] = new QRadioButton(expositionKindInfo(ExpositionKind(k)).caption, frame4);
        m_option1[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
        m_option1[k]->setGeometry(Twips::rect(330, 330 + 270 * k, 1455, 195));
        connect(m_option1[k], &QRadioButton::toggled, this, [this, k](bool checked) {
            if (checked)
                Option1_Click(k);
        });
    }
    QLabel *caption = addLabel(this, QStringLiteral("Label1_0"), QStringLiteral("Capítulos:"),
                               Twips::rect(2310, 60, 0, 0));
    m_list1 = c.list1 = new QListWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(Twips::rect(2310, 360, 7035, 840));
    ScreenReader::name(m_list1, caption);
    c.command7 = ColouredButton::createHelp(this, QStringLiteral("Command7"),
                                            Twips::rect(8700, 30, 675, 315));

    addQuestionGrid(c, 1320, 1350, 240, 1590, 1965, 3, kRecordColumn);
    m_grid3 = c.grid3;

    addBrowsingButtons(c, 3660);

    QGroupBox *frame3 =
        addFrame(this, QStringLiteral("Frame3"), QStringLiteral(" Actualizar la base de datos "),
                 Twips::rect(60, 4080, 9315, 2265));
    QGroupBox *frame1 = addFrame(frame3, QStringLiteral("Frame1"), QStringLiteral("Pregunta "),
                                 Twips::rect(90, 300, 7815, 1815));
    addEditingControls(c, frame1, Twips::rect(120, 300, 7545, 1335), true, frame3,
                       Twips::rect(8010, 630, 1125, 375), Twips::rect(8010, 1290, 1125, 375), 3330);
    c.editingOnly = {frame1, frame3};

    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click();
    });
    setControls(c);
}

void Exammodi::Form_Load()
{
    m_list1->addItems(ChapterTitles::entries());
    setUpColumns();
    centreOverMainWindow();
    if (m_option1[0]->isChecked())
        Option1_Click(0);
    else
        m_option1[0]->setChecked(true);
}

void Exammodi::setUpColumns()
{
    m_grid3->setTextMatrix(0, 0, QStringLiteral("Nº"));
    m_grid3->setTextMatrix(0, 1, QStringLiteral("PREGUNTA"));
    m_grid3->setColWidth(0, 360);
    m_grid3->setColWidth(1, kGridWidth - 700);
    m_grid3->setColAlignment(0, Qt::AlignHCenter);
    m_grid3->setFixedAlignment(0, Qt::AlignHCenter);
    m_grid3->setFixedAlignment(1, Qt::AlignHCenter);
}

void Exammodi::focusOnActivation()
{
    m_list1->setFocus();
}

void Exammodi::Option1_Click(int index)
{
    QCoreApplication::processEvents();
    closeAllFiles();
    // An edit in progress belongs to the kind being left: dropped without a question.
    endEditing();
    const ExpositionKind kind = expositionKindFromNumber(index);
    const BankError opened = m_bank.openBank(kind);
    updateTextLength();
    if (m_list1->currentRow() == 0)
        List1_Click();
    else
        m_list1->setCurrentRow(0);

    if (m_noticeShown[index])
        return;
    m_noticeShown[index] = true;
    if (!opened.ok())
        showOpeningNotice(QStringLiteral("No se ha podido abrir el banco de preguntas %1: %2")
                              .arg(expositionKindInfo(kind).loadName,
                                   opened.detail.isEmpty() ? opened.message : opened.detail));
    else
        showOpeningNotice(m_bank.openingNotes());
}

void Exammodi::List1_Click()
{
    m_currentChapter = qint16(m_list1->currentRow() + 1);
    m_grid3->clear();
    setUpColumns();
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(m_currentChapter);
    const QList<QuestionListing> questions =
        listing.ok() ? listing.value() : QList<QuestionListing>();

    prepareListingRows(m_grid3, int(questions.size()), kMinimumGridRows, kRowHeight);
    for (const QuestionListing &question : questions) {
        m_grid3->setTextMatrix(question.position, 1, question.text);
        m_grid3->setTextMatrix(question.position, kRecordColumn,
                               QString::number(question.recordNumber));
        m_grid3->setRowHeight(question.position,
                              rowHeightFor(question.text, kRowBase, kRowMinimum));
    }
}

void Exammodi::loadSearch(QuestionSearch &search)
{
    SearchField::addExposition(search, m_bank);
}

void Exammodi::goToPlace(const SearchEntry &entry)
{
    const int kind = int(questionKind::expositionKind(entry.kind));
    m_option1[kind]->setChecked(true);
    m_list1->setCurrentRow(entry.chapter - 1);
}

std::optional<MaintenanceWindow::NearQuestion> Exammodi::nearDuplicateOf(const QString &text,
                                                                         qint32 except)
{
    // A modification stays in the chapter of its record, whatever chapter is
    // chosen meanwhile. What cannot be read is not checked; writing the
    // change then tells why.
    int chapter = m_currentChapter;
    if (except > 0) {
        const BankResult<ExpositionRecord> record = m_bank.readRecord(except);
        if (!record)
            return std::nullopt;
        chapter = record->chapter;
    }
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(chapter);
    if (!listing)
        return std::nullopt;
    QStringList texts;
    for (const QuestionListing &question : *listing)
        if (question.recordNumber != except)
            texts.append(question.text);
    const qsizetype near = questionSearch::firstNearDuplicate(text, texts);
    if (near < 0)
        return std::nullopt;
    return NearQuestion{QStringLiteral("capítulo %1").arg(chapter), texts.at(near)};
}

BankError Exammodi::writeModification(qint32 record, const QString &text)
{
    BankResult<ExpositionRecord> read = m_bank.readRecord(record);
    if (!read.ok())
        return read.error();
    ExpositionRecord changed = read.value();
    changed.text = text;
    return m_bank.writeRecord(record, changed);
}

BankError Exammodi::writeAddition(const QString &text)
{
    const BankResult<qint32> appended = m_bank.appendRecord(m_currentChapter, text);
    return appended.ok() ? BankError() : appended.error();
}

BankError Exammodi::deleteFromBank(qint32 record)
{
    return m_bank.deleteRecord(record);
}

QString Exammodi::fullMessage() const
{
    return kChapterFull.arg(m_bank.kindInfo().maxPerChapter);
}

int Exammodi::textWidth() const
{
    return m_bank.kindInfo().textWidth;
}

QWidget *Exammodi::focusAfterCancel() const
{
    return m_list1;
}
