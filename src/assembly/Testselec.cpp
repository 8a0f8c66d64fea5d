#include "Testselec.h"

#include "QuestionAnswers.h"

#include "AnswerLabel.h"
#include "ChapterTitles.h"
#include "ColouredButton.h"
#include "DrawDialog.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "OpeningNotes.h"
#include "ProgramState.h"
#include "RecordFile.h"
#include "ScreenReader.h"
#include "TabOrder.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString kStatusText = QStringLiteral("Seleccionar preguntas tipo test");

const QColor kBackground(192, 192, 255);
const QColor kFixedCells(192, 192, 255);
const QColor kBeyondLastRow(128, 128, 255);

// Window and control geometry, in twips.
constexpr int kClientWidth = 11760;
constexpr int kClientHeight = 8400;
constexpr int kGridWidth = 11400;
constexpr int kRowHeight = 450;
constexpr int kNumberWidth = 360;
constexpr int kAnswerWidth = 600;
constexpr int kQuestionWidth = kGridWidth - 1300;
constexpr int kMinimumGridRows = 5; // the header and at least 4 data rows

} // namespace

Testselec::Testselec()
    : SelectionWindow(kName, ActiveWindowCodes::kTrueFalseSelection, kStatusText,
                      [this](const HistoryQuestion &question) { return answerOf(question); })
{
    setWindowTitle(QStringLiteral("Selección de preguntas tipo test"));
    buildControls();
}

void Testselec::buildControls()
{
    setDesign(kClientWidth, kClientHeight, kBackground);

    QLabel *caption =
        addLabel(this, QString(), QStringLiteral("Capítulos:"), Twips::rect(180, 120, 5400, 240));
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(Twips::rect(180, 360, 5400, 1500));
    ScreenReader::name(m_list1, caption);

    caption =
        addLabel(this, QString(), QStringLiteral("Temas:"), Twips::rect(5760, 120, 5220, 240));
    m_list2 = new QListWidget(this);
    m_list2->setObjectName(QStringLiteral("List2"));
    m_list2->setGeometry(Twips::rect(5760, 360, 5220, 1500));
    ScreenReader::name(m_list2, caption);

    m_command3 = ColouredButton::createHelp(this, QStringLiteral("Command3"),
                                            Twips::rect(11160, 360, 420, 420));

    const QString hintStyle = QStringLiteral("color: %1;").arg(kHintColour.name());
    caption = addLabel(this, QString(), QStringLiteral("Preguntas disponibles:"),
                       Twips::rect(180, 1980, 2400, 240));
    QLabel *hint = addLabel(
        this, QString(),
        QStringLiteral("(Haga \"doble clic\" sobre las preguntas que quiera incluir en el examen)"),
        Twips::rect(2640, 1980, 8940, 240));
    hint->setStyleSheet(hintStyle);
    m_grid3 = new FlexGrid(this);
    m_grid3->setObjectName(QStringLiteral("Grid3"));
    m_grid3->setGeometry(Twips::rect(180, 2220, kGridWidth, 2300));
    ScreenReader::name(m_grid3, caption);

    caption = addLabel(this, QString(), QStringLiteral("Preguntas seleccionadas:"),
                       Twips::rect(180, 4640, 2400, 240));
    hint = addLabel(this, QString(),
                    QStringLiteral("(Haga \"doble clic\" sobre las preguntas que quiera eliminar)"),
                    Twips::rect(2640, 4640, 8940, 240));
    hint->setStyleSheet(hintStyle);
    m_grid1 = new FlexGrid(this);
    m_grid1->setObjectName(QStringLiteral("Grid1"));
    m_grid1->setGeometry(Twips::rect(180, 4880, kGridWidth, 2300));
    ScreenReader::name(m_grid1, caption);

    for (FlexGrid *grid : {m_grid3, m_grid1}) {
        addGrowingGrid(grid);
        grid->setCols(3);
        grid->setBackColorFixed(kFixedCells);
        grid->setBackColorBkg(kBeyondLastRow);
    }

    addLabel(this, QString(), QStringLiteral("Nº de preguntas seleccionadas:"),
             Twips::rect(180, 7320, 3000, 285));
    m_label3 = addLabel(this, QString(), QStringLiteral("0"), Twips::rect(3240, 7320, 600, 285));
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setAlignment(Qt::AlignCenter);
    m_label3->setStyleSheet(
        QStringLiteral("background-color: white; color: black; border: 1px solid #808080;"));
    setCountLabel(m_label3);

    m_command1 =
        ColouredButton::create(this, QStringLiteral("Command1"), QStringLiteral("Imprimir examen"),
                               QColor(128, 255, 255), Twips::rect(180, 7770, 2400, 450));
    m_command5 =
        ColouredButton::create(this, QStringLiteral("Command5"),
                               QStringLiteral("Imprimir plantilla de respuestas correctas"),
                               QColor(128, 255, 128), Twips::rect(2760, 7770, 4200, 450));
    m_commandAzar = ColouredButton::create(
        this, QStringLiteral("CommandAzar"), QStringLiteral("Elegir al a&zar…"),
        QColor(255, 255, 128), Twips::rect(7140, 7770, 2460, 450));
    m_command2 = ColouredButton::create(this, QStringLiteral("Command2"), QStringLiteral("Salir"),
                                        QColor(255, 128, 128), Twips::rect(9780, 7770, 1800, 450));

    setExitButton(m_command2);

    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click();
    });
    connect(m_list2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List2_Click();
    });
    connect(m_grid3, &FlexGrid::dblClick, this, &Testselec::Grid3_DblClick);
    connect(m_grid1, &FlexGrid::dblClick, this, &Testselec::Grid1_DblClick);
    connect(m_grid3, &FlexGrid::enterPressed, this,
            [this] { addKeepingFocus(m_grid3, [this] { Grid3_DblClick(); }); });
    const auto removeByKeyboard = [this] {
        removeKeepingFocus(m_grid1, selectedCount(), [this] { Grid1_DblClick(); });
    };
    connect(m_grid1, &FlexGrid::enterPressed, this, removeByKeyboard);
    connect(m_grid1, &FlexGrid::deletePressed, this, removeByKeyboard);
    connect(m_command1, &QPushButton::clicked, this, &Testselec::Command1_Click);
    connect(m_command5, &QPushButton::clicked, this, &Testselec::Command5_Click);
    connect(m_commandAzar, &QPushButton::clicked, this, &Testselec::CommandAzar_Click);
    connect(m_command2, &QPushButton::clicked, this, &Testselec::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Testselec::Command3_Click);
    addSearchField([this](QuestionSearch &search) { SearchField::addTrueFalse(search, m_bank); },
                   [this](const SearchEntry &entry) { showFound(entry); });
    TabOrder::followPlaces(this);
}

void Testselec::showFound(const SearchEntry &entry)
{
    m_list1->setCurrentRow(entry.chapter - 1);
    m_list2->setCurrentRow(entry.topic - 1);
    const qsizetype position =
        m_bank.index().recordNumbers(entry.chapter, entry.topic).indexOf(entry.recordNumber);
    SearchField::showRow(m_grid3, int(position) + 1);
}

void Testselec::Form_Load()
{
    clearSelection();
    QCoreApplication::processEvents();

    // A bank that cannot be opened lists no questions; the teacher is told
    // why once the window is up.
    const BankError opened = m_bank.openBank();

    m_list1->addItems(ChapterTitles::entries());

    setUpColumns(m_grid3);
    setUpColumns(m_grid1);
    numberSelectedRows(m_grid1, QuestionKind::TrueFalse, kRowHeight);
    m_grid3->setCurrentCell(0, 0);
    m_grid1->setCurrentCell(0, 0);

    centreOverMainWindow();
    m_list1->setCurrentRow(0);

    if (!opened.ok()) {
        // A missing file that could not be created is simply an empty bank.
        if (!RecordFile::caseVariants(TrueFalseBank::loadName()).isEmpty())
            MessageBox::inform(unreadableBank(opened), this);
        return;
    }
    if (const QString notes = m_bank.openingNotes(); !notes.isEmpty())
        MessageBox::inform(notes, this);
}

void Testselec::setUpColumns(FlexGrid *grid)
{
    grid->setTextMatrix(0, 0, QStringLiteral("Nº"));
    grid->setTextMatrix(0, 1, QStringLiteral("PREGUNTA"));
    grid->setTextMatrix(0, 2, QStringLiteral("Resp."));
    // The numbers hold their marks whole; the question column gives up the
    // room they take beyond the design's.
    const int number =
        qMax(kNumberWidth, QuestionMarks::numberColumnWidth(grid, int(m_listed.size())));
    grid->setColWidth(0, number);
    grid->setColWidth(1, kQuestionWidth - (number - kNumberWidth));
    grid->setColWidth(2, kAnswerWidth);
    grid->setColAlignment(0, Qt::AlignHCenter);
    grid->setColAlignment(2, Qt::AlignHCenter);
    for (int col = 0; col < 3; ++col)
        grid->setFixedAlignment(col, Qt::AlignHCenter);
}

void Testselec::focusOnActivation()
{
    m_list1->setFocus();
}

void Testselec::List1_Click()
{
    m_list2->clear();
    m_currentChapter = qint16(m_list1->currentRow() + 1);
    for (int topic = 1; topic <= m_catalogue.topicCount(m_currentChapter); ++topic)
        m_list2->addItem(m_catalogue.topicTitle(m_currentChapter, topic));
    m_list2->setCurrentRow(0);
}

void Testselec::List2_Click()
{
    m_grid3->clear();
    m_currentTopic = qint16(m_list2->currentRow() + 1);

    // Another program may have changed the file since it was indexed: list
    // the file as it is now, not record numbers that have moved. A failure
    // shows in the listing itself.
    (void)m_bank.reloadIfChanged();
    const BankResult<QList<QuestionListing>> listing =
        m_bank.questionsOf(m_currentChapter, m_currentTopic);
    if (!listing.ok())
        tellReadFailure(QuestionKind::TrueFalse, listing.error());
    m_listed = listing.ok() ? listing.value() : QList<QuestionListing>();

    setUpColumns(m_grid3);
    prepareListingRows(m_grid3, int(m_listed.size()), kMinimumGridRows, kRowHeight);
    for (const QuestionListing &question : std::as_const(m_listed)) {
        m_grid3->setTextMatrix(question.position, 1, question.text);
        m_grid3->setTextMatrix(question.position, 2, answerLabel(question.answer));
    }
    marks().mark(m_grid3, m_listed, QuestionKind::TrueFalse);
}

// The answer by the history's rule (questionAnswers::of), this window's
// bank answering for an exam recorded before histories kept answers.
std::optional<bool> Testselec::answerOf(const HistoryQuestion &question)
{
    return questionAnswers::of(question, [this](const HistoryQuestion &asked) {
        const BankResult<QList<QuestionListing>> listing =
            m_bank.questionsOf(asked.chapter, asked.topic);
        for (const QuestionListing &listed : listing.value())
            if (listed.text == asked.text.trimmed())
                return std::optional<bool>(listed.answer);
        return std::optional<bool>();
    });
}

void Testselec::Grid3_DblClick()
{
    // The header row and the filler rows hold no question.
    const int row = m_grid3->row();
    if (row < 1 || row > m_listed.size())
        return;
    const QuestionListing &listed = m_listed.at(row - 1);
    if (!addToSelection({QuestionKind::TrueFalse, m_currentChapter, m_currentTopic, listed.text,
                         listed.answer}))
        return;
    m_grid3->setCurrentCell(0, 0);
    m_list2->setFocus();
}

void Testselec::showSelectedRow(QuestionKind kind, int row)
{
    const QList<ExamQuestion> &selected = selection().of(kind);
    const bool filled = row <= selected.size();
    m_grid1->setTextMatrix(row, 1, filled ? selected.at(row - 1).text : QString());
    m_grid1->setTextMatrix(row, 2, filled ? answerLabel(selected.at(row - 1).answer) : QString());
}

void Testselec::Grid1_DblClick()
{
    if (!removeFromSelection(QuestionKind::TrueFalse, m_grid1->row()))
        return;
    m_list2->setFocus();
    m_grid1->setCurrentCell(0, 0);
}

void Testselec::Command1_Click()
{
    handOverSelection(ExamDescription::Kind::TrueFalse);
}

void Testselec::Command5_Click()
{
    handOverSelection(ExamDescription::Kind::AnswerTemplate);
}

void Testselec::CommandAzar_Click()
{
    DrawDialog::Setup setup;
    setup.columns = {
        {QuestionKind::TrueFalse, QStringLiteral("Preguntas"), QStringLiteral("preguntas")}};
    for (int chapter = 1; chapter <= ChapterTitles::kCount; ++chapter)
        setup.chapters.append({ChapterTitles::entry(chapter), m_catalogue.topicTitles(chapter)});
    setup.gather = [this](QuestionKind, qint16 chapter, qint16 topic) {
        return drawCandidates(chapter, topic);
    };
    drawToPlan(setup);
}

QList<DrawQuestion> Testselec::drawCandidates(qint16 chapter, qint16 topic)
{
    (void)m_bank.reloadIfChanged();
    QList<DrawQuestion> candidates;
    const qint16 first = topic > 0 ? topic : 1;
    const qint16 last = topic > 0 ? topic : m_catalogue.topicCount(chapter);
    for (qint16 t = first; t <= last; ++t) {
        const BankResult<QList<QuestionListing>> listing = m_bank.questionsOf(chapter, t);
        if (!listing.ok()) {
            tellReadFailure(QuestionKind::TrueFalse, listing.error());
            continue;
        }
        for (const QuestionListing &question : listing.value())
            candidates.append({QuestionKind::TrueFalse, chapter, t, question.position,
                               question.text, question.answer});
    }
    return candidates;
}

void Testselec::Command2_Click()
{
    leaveSelection();
}

void Testselec::Command3_Click()
{
    showHelp();
}
