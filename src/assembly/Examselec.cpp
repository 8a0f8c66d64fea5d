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
const QString kLeaveQuestion =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
const QString kTooManyMessage = QStringLiteral("No se pueden seleccionar más de 100 preguntas");
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

void setUpColumns(FlexGrid *grid, const QString &questionHeader)
{
    grid->setTextMatrix(0, 0, QStringLiteral("Nº"));
    grid->setTextMatrix(0, 1, questionHeader);
    grid->setColWidth(0, kNumberWidth);
    grid->setColWidth(1, kQuestionWidth);
    grid->setColAlignment(0, Qt::AlignHCenter);
    grid->setFixedAlignment(0, Qt::AlignHCenter);
    grid->setFixedAlignment(1, Qt::AlignHCenter);
}

} // namespace

Examselec::Examselec() : WorkingWindow(kName, ActiveWindowCodes::kExpositionSelection, kStatusText)
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
        removeKeepingFocus(visibleGrid1(), m_selectedCount[int(m_currentKind)],
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
    m_selectedCount = {};
    m_selectedChapters = {};
    m_notesTold = {};
    m_readFailureTold = {};
    m_list1->addItems(ChapterTitles::entries());

    setUpGrid3Columns();
    m_grid3->setCurrentCell(0, 0);
    for (int k = 0; k < kExpositionKindCount; ++k) {
        FlexGrid *grid = m_grid1[k];
        setUpColumns(grid, kGrid1Headers[k]);
        grid->setRows(kMaxSelected + 1);
        for (int row = 1; row <= kMaxSelected; ++row) {
            grid->setRowHeight(row, kEmptyRowHeight);
            grid->setTextMatrix(row, 0, QString::number(row));
        }
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
    setUpColumns(m_grid3, QStringLiteral("PREGUNTA"));
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
    m_label3->setText(QString::number(m_selectedCount[int(kind)]));
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

void Examselec::tellReadFailure(const BankError &error)
{
    // A bank that failed to open lists nothing; that was told on opening.
    if (error.code == BankErrorCode::NotOpen ||
        std::exchange(m_readFailureTold[int(m_currentKind)], true))
        return;
    MessageBox::inform(unreadableBank(error), this);
}

void Examselec::showChapter()
{
    m_currentChapter = qint16(m_list1->currentRow() + 1);
    m_grid3->clear();
    setUpGrid3Columns();

    // Another program may have changed the file since it was indexed: list
    // the file as it is now, not record numbers that have moved. A failure
    // shows in the listing itself.
    (void)m_bank.reloadIfChanged();
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(m_currentChapter);
    if (!listing.ok())
        tellReadFailure(listing.error());
    const QList<QuestionListing> questions =
        listing.ok() ? listing.value() : QList<QuestionListing>();
    m_listedCount = int(questions.size());

    prepareListingRows(m_grid3, m_listedCount, kMinimumGridRows, kEmptyRowHeight);
    for (const QuestionListing &question : questions) {
        m_grid3->setTextMatrix(question.position, 1, question.text);
        m_grid3->setRowHeight(question.position,
                              rowHeightFor(question.text, kGrid3Base, kGrid3Minimum));
    }
    markUsed(m_grid3, questions, questionKind::fromExposition(m_currentKind));
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
    if (row < 1 || row > m_listedCount)
        return;
    if (!addToSelection(m_currentKind, m_grid3->textMatrix(row, 1), m_currentChapter))
        return;
    m_grid3->setCurrentCell(0, 0);
    m_list1->setFocus();
}

bool Examselec::addToSelection(ExpositionKind kind, const QString &text, qint16 chapter)
{
    qint16 &count = m_selectedCount[int(kind)];
    if (count >= kMaxSelected) {
        MessageBox::inform(kTooManyMessage, this);
        return false;
    }
    ++count;
    FlexGrid *grid = m_grid1[int(kind)];
    grid->setCurrentCell(count, 1);
    grid->setTextMatrix(count, 1, text);
    grid->setRowHeight(count, rowHeightFor(text.trimmed(), kGrid1Base, kGrid1Minimum));
    m_selectedChapters[int(kind)].append(chapter);
    if (kind == m_currentKind)
        m_label3->setText(QString::number(count));
    grid->scrollToRow(count);
    return true;
}

void Examselec::Grid1_DblClick(int)
{
    removeQuestion();
}

void Examselec::removeQuestion()
{
    FlexGrid *grid = visibleGrid1();
    const int row = grid->row();
    qint16 &count = m_selectedCount[int(m_currentKind)];
    if (row > count || row == 0 || count == 0)
        return;
    // Each row that receives a text takes the height of that text, so that a
    // long question moving up into a short row is not cut off.
    for (int i = row; i < count; ++i) {
        const QString text = grid->textMatrix(i + 1, 1);
        grid->setTextMatrix(i, 1, text);
        grid->setRowHeight(i, rowHeightFor(text.trimmed(), kGrid1Base, kGrid1Minimum));
    }
    grid->setTextMatrix(count, 1, QString());
    grid->setRowHeight(count, kEmptyRowHeight);
    m_selectedChapters[int(m_currentKind)].removeAt(row - 1);
    --count;
    m_label3->setText(QString::number(count));
    m_list1->setFocus();
    grid->setCurrentCell(0, 0);
}

QStringList Examselec::selection(ExpositionKind kind) const
{
    QStringList texts;
    const FlexGrid *grid = m_grid1[int(kind)];
    for (int row = 1; row <= m_selectedCount[int(kind)]; ++row)
        texts.append(grid->textMatrix(row, 1));
    return texts;
}

void Examselec::Command1_Click()
{
    ExamDescription exam;
    exam.kind = ExamDescription::Kind::Exposition;
    exam.sections = {selection(ExpositionKind::Conceptual), selection(ExpositionKind::Practical),
                     selection(ExpositionKind::Brief)};
    exam.sectionChapters = m_selectedChapters;
    handOverToOutput(composeText(exam), exam);
}

void Examselec::CommandAzar_Click()
{
    static const QString kHeaders[kExpositionKindCount] = {
        QStringLiteral("Conceptuales"), QStringLiteral("Prácticas"), QStringLiteral("Breves")};
    DrawDialog::Setup setup;
    for (int k = 0; k < kExpositionKindCount; ++k) {
        const QuestionKind kind = questionKind::fromExposition(ExpositionKind(k));
        setup.columns.append({kind, kHeaders[k],
                              QStringLiteral("preguntas ") + kHeaders[k].toLower(), kMaxSelected,
                              kMaxSelected - m_selectedCount[k]});
        for (const QString &text : selection(ExpositionKind(k)))
            setup.selected.append({kind, text});
    }
    for (int chapter = 1; chapter <= ChapterTitles::kCount; ++chapter)
        setup.chapters.append({ChapterTitles::entry(chapter), {}});
    setup.gather = [this](QuestionKind kind, qint16 chapter, qint16) {
        return drawCandidates(kind, chapter);
    };
    setup.used = &usedQuestions();
    setup.statistics = &questionStatistics();
    const QList<DrawQuestion> drawn = DrawDialog::choose(setup, this);
    // The window lists and reads the current kind's file, and only that one
    // stays open.
    if (m_bank.kind() != m_currentKind)
        (void)m_bank.openBank(m_currentKind);
    for (const DrawQuestion &question : drawn)
        addToSelection(questionKind::expositionKind(question.kind), question.text,
                       question.chapter);
}

QList<DrawQuestion> Examselec::drawCandidates(QuestionKind kind, qint16 chapter)
{
    const ExpositionKind exposition = questionKind::expositionKind(kind);
    if (m_bank.kind() != exposition)
        (void)m_bank.openBank(exposition);
    (void)m_bank.reloadIfChanged();
    QList<DrawQuestion> candidates;
    const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(chapter);
    if (!listing.ok())
        return candidates;
    for (const QuestionListing &question : listing.value())
        candidates.append({kind, chapter, 0, question.position, question.text, QString()});
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

bool Examselec::confirmLeaving()
{
    const bool anySelected =
        std::any_of(m_selectedCount.begin(), m_selectedCount.end(), [](qint16 n) { return n > 0; });
    return !anySelected || !MessageBox::askCancelled(kLeaveQuestion, this);
}

void Examselec::leaveSelection()
{
    if (isUnloading())
        return;
    if (!confirmLeaving()) {
        stayOpen();
        return;
    }
    closeWindow();
}
