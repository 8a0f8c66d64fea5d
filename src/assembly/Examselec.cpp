#include "Examselec.h"

#include "ChapterTitles.h"
#include "ColouredButton.h"
#include "DrawDialog.h"
#include "ExamText.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "OpeningNotes.h"
#include "ProgramState.h"
#include "RecordFile.h"
#include "ScreenReader.h"
#include "TabOrder.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace {

const QString kStatusText =
    QStringLiteral("Seleccionar preguntas de exposición: conceptuales / prácticas / breves");
const QString kGrid1Headers[kExpositionKindCount] = {QStringLiteral("PREGUNTAS CONCEPTUALES"),
                                                     QStringLiteral("PREGUNTAS PRÁCTICAS "),
                                                     QStringLiteral("PREGUNTAS BREVES")};

const QColor kBackground(255, 255, 192);
const QColor kFixedCells(255, 255, 128);
const QColor kBeyondLastRow(192, 192, 0);

// Window and control geometry, in twips.
constexpr int kClientWidth = 9480;
constexpr int kClientHeight = 6795;
constexpr int kGridWidth = 9225;
// The hints over the grids reach the grids' right edge, however wide the
// font draws them.
constexpr int kHintRight = 120 + kGridWidth;
constexpr int kCountLeft = 2460; // Label3
constexpr int kNumberWidth = 360;
constexpr int kQuestionWidth = kGridWidth - 700;
constexpr int kEmptyRowHeight = 450;
constexpr int kMinimumGridRows = 5; // the header and at least 4 data rows
// rowHeightFor's base and minimum in each grid.
constexpr int kGrid3Base = 360;
constexpr int kGrid3Minimum = 420;
constexpr int kGrid1Base = 430;
constexpr int kGrid1Minimum = 450;

// `largest`: the largest number the grid lists.
void setUpColumns(FlexGrid *grid, const QString &questionHeader, int largest)
{
    grid->setTextMatrix(0, 0, QStringLiteral("Nº"));
    grid->setTextMatrix(0, 1, questionHeader);
    // The numbers hold their marks whole; the question column gives up the
    // room they take beyond the design's.
    const int number = qMax(kNumberWidth, QuestionMarks::numberColumnWidth(grid, largest));
    grid->setColWidth(0, number);
    grid->setColWidth(1, kQuestionWidth - (number - kNumberWidth));
    grid->setColAlignment(0, Qt::AlignHCenter);
    grid->setFixedAlignment(0, Qt::AlignHCenter);
    grid->setFixedAlignment(1, Qt::AlignHCenter);
}

} // namespace

Examselec::Examselec()
    : SelectionWindow(kName, ActiveWindowCodes::kExpositionSelection, kStatusText)
{
    setWindowTitle(
        QStringLiteral("Selección de preguntas de exposición: conceptuales / prácticas / breves"));
    buildControls();
}

void Examselec::buildControls()
{
    setDesign(kClientWidth, kClientHeight, kBackground);
    setDesignFont();

    m_frame1 = new QGroupBox(QStringLiteral("Tipo de pregunta"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(Twips::rect(150, 60, 2085, 1125));
    m_frame1->setPalette(palette());
    m_frame1->setAutoFillBackground(true);
    for (int k = 0; k < kExpositionKindCount; ++k) {
        m_option1[k] = new QRadioButton(expositionKindInfo(ExpositionKind(k)).caption, m_frame1);
        m_option1[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
        // Placed from the frame's own top-left corner.
        m_option1[k]->setGeometry(Twips::rect(330, 330 + 270 * k, 1455, 195));
    }

    const QString highlighted = QStringLiteral("color: %1;").arg(kHintColour.name());
    QLabel *caption = addLabel(this, QStringLiteral("Label1_0"), QStringLiteral("Capítulos:"),
                               Twips::rect(2340, 60, 1140, 270));
    caption->setStyleSheet(highlighted);
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(Twips::rect(2340, 360, 7005, 840));
    ScreenReader::name(m_list1, caption);

    caption = addLabel(this, QStringLiteral("Label1_1"), QStringLiteral("Preguntas disponibles:"),
                       Twips::rect(150, 1230, 1950, 225));
    caption->setStyleSheet(highlighted);
    addLabel(
        this, QStringLiteral("Label1_2"),
        QStringLiteral("(Haga \"doble clic\" sobre las preguntas que quiera incluir en el examen)"),
        Twips::rect(3000, 1260, kHintRight - 3000, 210))
        ->setStyleSheet(highlighted);
    m_grid3 = new FlexGrid(this);
    m_grid3->setObjectName(QStringLiteral("Grid3"));
    m_grid3->setGeometry(Twips::rect(120, 1500, kGridWidth, 1665));
    ScreenReader::name(m_grid3, caption);

    caption = addLabel(this, QStringLiteral("Label1_3"), QStringLiteral("Preguntas seleccionadas:"),
                       Twips::rect(150, 3210, 2220, 225));
    caption->setStyleSheet(highlighted);
    addLabel(this, QStringLiteral("Label1_4"),
             QStringLiteral("(Haga \"doble clic\" sobre las preguntas que quiera eliminar)"),
             Twips::rect(3360, 3210, kHintRight - 3360, 210))
        ->setStyleSheet(highlighted);
    for (int k = 0; k < kExpositionKindCount; ++k) {
        m_grid1[k] = new FlexGrid(this);
        m_grid1[k]->setObjectName(QStringLiteral("Grid1_%1").arg(k));
        m_grid1[k]->setGeometry(Twips::rect(120, 3450, kGridWidth, 2985));
        // One shows at a time, under the one caption.
        ScreenReader::name(m_grid1[k], caption->text());
    }

    for (FlexGrid *grid : {m_grid3, m_grid1[0], m_grid1[1], m_grid1[2]}) {
        addGrowingGrid(grid);
        grid->setCols(2);
        grid->setBackColorFixed(kFixedCells);
        grid->setBackColorBkg(kBeyondLastRow);
    }

    // Up to the count beside it, so that the colon is not cut off.
    addLabel(this, QStringLiteral("Label2"), QStringLiteral("Nº de preguntas seleccionadas:"),
             Twips::rect(120, 6540, kCountLeft - 120, 195));
    m_label3 = addLabel(this, QStringLiteral("Label3"), QStringLiteral("0"),
                        Twips::rect(kCountLeft, 6510, 375, 225));
    m_label3->setAlignment(Qt::AlignCenter);
    m_label3->setStyleSheet(
        QStringLiteral("background-color: white; color: black; border: 1px solid #808080;"));
    setCountLabel(m_label3);

    m_command1 =
        ColouredButton::create(this, QStringLiteral("Command1"), QStringLiteral("Imprimir examen"),
                               QColor(128, 255, 255), Twips::rect(3060, 6510, 2235, 255), 0);
    m_commandAzar = ColouredButton::create(
        this, QStringLiteral("CommandAzar"), QStringLiteral("Elegir al a&zar…"),
        QColor(255, 192, 128), Twips::rect(5430, 6510, 2145, 255), 0);
    m_command2 =
        ColouredButton::create(this, QStringLiteral("Command2"), QStringLiteral("Salir"),
                               QColor(255, 128, 128), Twips::rect(7710, 6510, 1665, 255), 0);
    m_command3 = ColouredButton::createHelp(this, QStringLiteral("Command3"),
                                            Twips::rect(8700, 30, 675, 315));
    setExitButton(m_command2);

    const auto removeByKeyboard = [this] {
        removeKeepingFocus(visibleGrid1(), selectedCount(m_currentKind),
                           [this] { removeQuestion(); });
    };
    for (int k = 0; k < kExpositionKindCount; ++k) {
        connect(m_option1[k], &QRadioButton::toggled, this, [this, k](bool checked) {
            if (checked)
                Option1_Click(k);
        });
        connect(m_grid1[k], &FlexGrid::dblClick, this, [this, k] { Grid1_DblClick(k); });
        connect(m_grid1[k], &FlexGrid::enterPressed, this, removeByKeyboard);
        connect(m_grid1[k], &FlexGrid::deletePressed, this, removeByKeyboard);
    }
    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click();
    });
    connect(m_grid3, &FlexGrid::dblClick, this, &Examselec::Grid3_DblClick);
    connect(m_grid3, &FlexGrid::enterPressed, this,
            [this] { addKeepingFocus(m_grid3, [this] { addQuestion(); }); });
    connect(m_command1, &QPushButton::clicked, this, &Examselec::Command1_Click);
    connect(m_commandAzar, &QPushButton::clicked, this, &Examselec::CommandAzar_Click);
    connect(m_command2, &QPushButton::clicked, this, &Examselec::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Examselec::Command3_Click);
    addSearchField([this](QuestionSearch &search) { SearchField::addExposition(search, m_bank); },
                   [this](const SearchEntry &entry) { showFound(entry); });
    TabOrder::followPlaces(this);
}

void Examselec::showFound(const SearchEntry &entry)
{
    m_option1[int(questionKind::expositionKind(entry.kind))]->setChecked(true);
    m_list1->setCurrentRow(entry.chapter - 1);
    const qsizetype position =
        m_bank.index().recordNumbers(entry.chapter).indexOf(entry.recordNumber);
    SearchField::showRow(m_grid3, int(position) + 1);
}

void Examselec::Form_Load()
{
    clearSelection();
    m_notesTold = {};
    m_list1->addItems(ChapterTitles::entries());

    setUpGrid3Columns();
    m_grid3->setCurrentCell(0, 0);
    for (int k = 0; k < kExpositionKindCount; ++k) {
        FlexGrid *grid = m_grid1[k];
        setUpColumns(grid, kGrid1Headers[k], 0);
        numberSelectedRows(grid, questionKind::fromExposition(ExpositionKind(k)), kEmptyRowHeight);
        grid->setCurrentCell(0, 0);
    }

    centreOverMainWindow();
    if (m_option1[0]->isChecked())
        showKind(ExpositionKind::Conceptual);
    else
        m_option1[0]->setChecked(true);
}

void Examselec::setUpGrid3Columns()
{
    setUpColumns(m_grid3, QStringLiteral("PREGUNTA"), int(m_listed.size()));
}

void Examselec::focusOnActivation()
{
    m_list1->setFocus();
}

void Examselec::Option1_Click(int index)
{
    showKind(expositionKindFromNumber(index));
}

void Examselec::showKind(ExpositionKind kind)
{
    QCoreApplication::processEvents();
    m_currentKind = kind;
    m_label3->setText(QString::number(selectedCount(kind)));
    for (int k = 0; k < kExpositionKindCount; ++k)
        m_grid1[k]->setVisible(k == int(kind));

    // A bank that cannot be opened lists no questions; the teacher is told
    // why once the chapter is shown.
    const BankError opened = m_bank.openBank(kind);

    if (m_list1->currentRow() == 0)
        showChapter();
    else
        m_list1->setCurrentRow(0);

    if (std::exchange(m_notesTold[int(kind)], true))
        return;
    QString notes;
    if (opened.ok())
        notes = m_bank.openingNotes();
    // A missing file that could not be created is simply an empty bank.
    else if (!RecordFile::caseVariants(m_bank.kindInfo().loadName).isEmpty())
        notes = unreadableBank(opened);
    if (!notes.isEmpty())
        MessageBox::inform(notes, this);
}

void Examselec::showChapter()
{
    m_currentChapter = qint16(m_list1->currentRow() + 1);
    m_grid3->clear();

    // Another program may have changed the file since it was indexed: list
    // the file as it is now, not record numbers that have moved. A failure
    // shows in the listing itself.
    (void)m_bank.reloadIfChanged();
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(m_currentChapter);
    if (!listing.ok())
        tellReadFailure(questionKind::fromExposition(m_currentKind), listing.error());
    m_listed = listing.ok() ? listing.value() : QList<QuestionListing>();

    setUpGrid3Columns();
    prepareListingRows(m_grid3, int(m_listed.size()), kMinimumGridRows, kEmptyRowHeight);
    for (const QuestionListing &question : std::as_const(m_listed)) {
        m_grid3->setTextMatrix(question.position, 1, question.text);
        m_grid3->setRowHeight(question.position,
                              rowHeightFor(question.text, kGrid3Base, kGrid3Minimum));
    }
    marks().mark(m_grid3, m_listed, questionKind::fromExposition(m_currentKind));
}

void Examselec::List1_Click()
{
    showChapter();
}

void Examselec::Grid3_DblClick()
{
    addQuestion();
}

void Examselec::addQuestion()
{
    // The header row and the filler rows hold no question.
    const int row = m_grid3->row();
    if (row < 1 || row > m_listed.size())
        return;
    if (!addToSelection({questionKind::fromExposition(m_currentKind), m_currentChapter, 0,
                         m_listed.at(row - 1).text}))
        return;
    visibleGrid1()->setCurrentCell(selectedCount(m_currentKind), 1);
    m_grid3->setCurrentCell(0, 0);
    m_list1->setFocus();
}

void Examselec::showSelectedRow(QuestionKind kind, int row)
{
    const QList<ExamQuestion> &selected = selection().of(kind);
    FlexGrid *grid = selectedGrid(kind);
    if (row > selected.size()) {
        grid->setTextMatrix(row, 1, QString());
        grid->setRowHeight(row, kEmptyRowHeight);
        return;
    }
    // Each row that receives a text takes the height of that text, so that a
    // long question moving up into a short row is not cut off.
    const QString &text = selected.at(row - 1).text;
    grid->setTextMatrix(row, 1, text);
    grid->setRowHeight(row, rowHeightFor(text.trimmed(), kGrid1Base, kGrid1Minimum));
}

void Examselec::Grid1_DblClick(int)
{
    removeQuestion();
}

void Examselec::removeQuestion()
{
    FlexGrid *grid = visibleGrid1();
    if (!removeFromSelection(questionKind::fromExposition(m_currentKind), grid->row()))
        return;
    m_list1->setFocus();
    grid->setCurrentCell(0, 0);
}

void Examselec::Command1_Click()
{
    handOverSelection(ExamDescription::Kind::Exposition);
}

void Examselec::CommandAzar_Click()
{
    static const QString kHeaders[kExpositionKindCount] = {
        QStringLiteral("Conceptuales"), QStringLiteral("Prácticas"), QStringLiteral("Breves")};
    DrawDialog::Setup setup;
    for (int k = 0; k < kExpositionKindCount; ++k)
        setup.columns.append({questionKind::fromExposition(ExpositionKind(k)), kHeaders[k],
                              QStringLiteral("preguntas ") + kHeaders[k].toLower()});
    for (int chapter = 1; chapter <= ChapterTitles::kCount; ++chapter)
        setup.chapters.append({ChapterTitles::entry(chapter), {}});
    setup.gather = [this](QuestionKind kind, qint16 chapter, qint16) {
        return drawCandidates(kind, chapter);
    };
    drawToPlan(setup);
    // The window lists and reads the current kind's file, and only that one
    // stays open.
    if (m_bank.kind() != m_currentKind)
        (void)m_bank.openBank(m_currentKind);
}

QList<DrawQuestion> Examselec::drawCandidates(QuestionKind kind, qint16 chapter)
{
    const ExpositionKind exposition = questionKind::expositionKind(kind);
    QList<DrawQuestion> candidates;
    if (m_bank.kind() != exposition) {
        if (const BankError opened = m_bank.openBank(exposition); !opened.ok()) {
            // A missing file that could not be created is simply an empty bank.
            if (!RecordFile::caseVariants(m_bank.kindInfo().loadName).isEmpty())
                tellReadFailure(kind, opened);
            return candidates;
        }
    }
    (void)m_bank.reloadIfChanged();
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(chapter);
    if (!listing.ok()) {
        tellReadFailure(kind, listing.error());
        return candidates;
    }
    for (const QuestionListing &question : listing.value())
        candidates.append({kind, chapter, 0, question.position, question.text, false});
    return candidates;
}

void Examselec::Command2_Click()
{
    leaveSelection();
}

void Examselec::Command3_Click()
{
    showHelp();
}
