#include "MaintenanceWindow.h"

#include "ColouredButton.h"
#include "FlexGrid.h"
#include "MessageBox.h"
#include "QuestionSearch.h"
#include "QuestionText.h"
#include "ScreenReader.h"
#include "TabOrder.h"
#include "Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kChooseToModify = QStringLiteral("Seleccione una pregunta para modificar");
const QString kChooseToDelete = QStringLiteral("Seleccione una pregunta para eliminar");
const QString kNoText = QStringLiteral("No hay texto de pregunta");
const QString kUpdated = QStringLiteral("Base de datos actualizada");
const QString kTooLong = QStringLiteral(
    "El texto tiene %1 caracteres y en la pregunta caben %2. Acórtelo antes de guardarlo.");
const QString kDeleteQuestion = QStringLiteral("¿Seguro que quiere eliminar la pregunta \"%1\"");
const QString kChangedBeforeDeletion =
    QStringLiteral("El banco de preguntas ha cambiado desde otro programa y se ha vuelto a cargar. "
                   "Revise la pregunta y vuelva a pulsar Eliminar pregunta.");
const QString kNearDuplicate =
    QStringLiteral("Ya existe una pregunta muy parecida (%1): «%2». ¿Guardarla igualmente?");
// A long question is quoted around where it differs, enough to recognise it.
constexpr int kQuotedLength = 200;
const QString kEditedQuestionGone =
    QStringLiteral("La pregunta que estaba modificando ya no está en el banco de preguntas. "
                   "¿Quiere guardar el texto como una pregunta nueva?");

} // namespace

MaintenanceWindow::MaintenanceWindow(const QString &name, qint16 activeWindowCode,
                                     const QString &statusText, const QString &leaveQuestion)
    : WorkingWindow(name, activeWindowCode, statusText), m_leaveQuestion(leaveQuestion)
{
}

void MaintenanceWindow::setControls(const Controls &controls)
{
    m_controls = controls;
    const Controls &c = m_controls;
    connect(c.grid3, &FlexGrid::dblClick, this, &MaintenanceWindow::Grid3_DblClick);
    connect(c.command4, &QPushButton::clicked, this, &MaintenanceWindow::Command4_Click);
    connect(c.command1, &QPushButton::clicked, this, &MaintenanceWindow::Command1_Click);
    connect(c.command5, &QPushButton::clicked, this, &MaintenanceWindow::Command5_Click);
    connect(c.command6, &QPushButton::clicked, this, &MaintenanceWindow::Command6_Click);
    connect(c.command3, &QPushButton::clicked, this, &MaintenanceWindow::Command3_Click);
    connect(c.command2, &QPushButton::clicked, this, &MaintenanceWindow::Command2_Click);
    connect(c.command7, &QPushButton::clicked, this, &MaintenanceWindow::Command7_Click);
    // From the keyboard, Enter on a question modifies it and Delete deletes
    // it, as the buttons do, and only while they are available.
    connect(c.grid3, &FlexGrid::enterPressed, this, [this] {
        if (m_state == EditState::Browsing)
            Command1_Click();
    });
    connect(c.grid3, &FlexGrid::deletePressed, this, [this] {
        if (m_state == EditState::Browsing)
            Command3_Click();
    });
    addGrowingGrid(c.grid3);
    setExitButton(c.command2);
    m_search = addSearchField([this](QuestionSearch &search) { loadSearch(search); },
                              [this](const SearchEntry &entry) { showFound(entry); });
    applyState(EditState::Browsing);
    updateTextLength();
    TabOrder::followPlaces(this);
}

void MaintenanceWindow::addQuestionGrid(Controls &controls, int labelTop, int hintTop,
                                        int hintHeight, int gridTop, int gridHeight, int cols,
                                        int recordColumn)
{
    QLabel *caption =
        addLabel(this, QStringLiteral("Label1_2"), QStringLiteral("Preguntas disponibles:"),
                 Twips::rect(150, labelTop, 0, 0));
    auto *hint = new QLabel(QStringLiteral("(Haga \"clic\" sobre la pregunta que quiera modificar "
                                           "o eliminar y pulse el botón correspondiente)"),
                            this);
    hint->setObjectName(QStringLiteral("Label1_4"));
    hint->setGeometry(Twips::rect(2370, hintTop, 120 + kGridWidth - 2370, hintHeight));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *grid = new FlexGrid(this);
    grid->setObjectName(QStringLiteral("Grid3"));
    grid->setGeometry(Twips::rect(120, gridTop, kGridWidth, gridHeight));
    grid->setCols(cols);
    grid->setColHidden(recordColumn, true);
    ScreenReader::name(grid, caption);
    controls.grid3 = grid;
    controls.recordColumn = recordColumn;
}

void MaintenanceWindow::addEditingControls(Controls &controls, QWidget *frame1, const QRect &text,
                                           bool textScrolls, QWidget *frame3, const QRect &update,
                                           const QRect &cancel, int exitLeft)
{
    const QColor lightRed(255, 128, 128);
    const QColor lightGreen(128, 255, 128);
    controls.text1 = new QPlainTextEdit(frame1);
    controls.text1->setObjectName(QStringLiteral("Text1"));
    controls.text1->setGeometry(text);
    controls.text1->setFont(QFont(QStringLiteral("Arial"), 9));
    controls.text1->setVerticalScrollBarPolicy(textScrolls ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
    if (!textScrolls)
        controls.text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controls.text1->setTabChangesFocus(true);
    controls.command5 = ColouredButton::create(frame3, QStringLiteral("Command5"),
                                               QStringLiteral("Actualizar"), lightRed, update, 0);
    controls.command6 = ColouredButton::create(frame3, QStringLiteral("Command6"),
                                               QStringLiteral("Cancelar"), lightGreen, cancel, 0);
    controls.command2 = ColouredButton::create(
        this, QStringLiteral("Command2"), QStringLiteral("Salir de añadir/modificar preguntas"),
        lightGreen, Twips::rect(exitLeft, 6420, 3165, 345));
    // The length of the question as it will be stored, against the room the
    // record has for it, in the free corner right of the exit button.
    const int lengthLeft = exitLeft + 3165 + 90;
    m_textLength = new QLabel(this);
    m_textLength->setObjectName(QStringLiteral("TextLength"));
    m_textLength->setGeometry(Twips::rect(lengthLeft, 6420, kFrameRight - lengthLeft, 345));
    m_textLength->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_textLength->setToolTip(QStringLiteral("Caracteres de la pregunta / caracteres que caben"));
    connect(controls.text1, &QPlainTextEdit::textChanged, this,
            &MaintenanceWindow::updateTextLength);
}

void MaintenanceWindow::updateTextLength()
{
    m_textLength->setText(QStringLiteral("%1 / %2")
                              .arg(cleanQuestionText(m_controls.text1->toPlainText()).size())
                              .arg(textWidth()));
}

QGroupBox *MaintenanceWindow::addFrame(QWidget *parent, const QString &name, const QString &caption,
                                       const QRect &geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

void MaintenanceWindow::addBrowsingButtons(Controls &controls, int top)
{
    const auto button = [this, top](const char *name, const QString &caption, int left) {
        auto *created = new QPushButton(caption, this);
        created->setObjectName(QLatin1String(name));
        created->setGeometry(Twips::rect(left, top, 3000, 345));
        return created;
    };
    controls.command4 = button("Command4", QStringLiteral("Añadir nueva pregunta"), 150);
    controls.command1 = button("Command1", QStringLiteral("Modificar pregunta"), 3240);
    controls.command3 = button("Command3", QStringLiteral("Eliminar pregunta"), 6330);
}

void MaintenanceWindow::applyState(EditState state)
{
    m_state = state;
    const bool editing = state == EditState::Editing;
    const Controls &c = m_controls;
    for (QWidget *widget : c.editingOnly)
        widget->setEnabled(editing);
    for (QWidget *widget : {static_cast<QWidget *>(c.text1), static_cast<QWidget *>(c.command5),
                            static_cast<QWidget *>(c.command6)})
        widget->setEnabled(editing);
    for (QPushButton *button : {c.command1, c.command3, c.command4})
        button->setEnabled(!editing);
    m_search->setEnabled(!editing);
}

void MaintenanceWindow::showFound(const SearchEntry &entry)
{
    goToPlace(entry);
    FlexGrid *grid = m_controls.grid3;
    for (int row = 1; row < grid->rows(); ++row) {
        if (recordOfRow(row) == entry.recordNumber) {
            SearchField::showRow(grid, row);
            return;
        }
    }
    grid->setFocus();
}

void MaintenanceWindow::closeEditingArea()
{
    m_state = EditState::Browsing;
    for (QWidget *widget : m_controls.editingOnly)
        widget->setEnabled(false);
    for (QWidget *widget :
         {static_cast<QWidget *>(m_controls.text1), static_cast<QWidget *>(m_controls.command5),
          static_cast<QWidget *>(m_controls.command6)})
        widget->setEnabled(false);
    clearEditedText();
}

void MaintenanceWindow::endEditing()
{
    applyState(EditState::Browsing);
    clearEditedText();
}

void MaintenanceWindow::clearEditedText()
{
    m_controls.text1->clear();
    updateTextLength();
    clearEditExtras();
    m_controls.grid3->setCurrentCell(0, 0);
    m_editedRecord = 0;
    m_editedText.clear();
}

qint32 MaintenanceWindow::recordOfRow(int row) const
{
    if (row < 1 || row >= m_controls.grid3->rows())
        return 0;
    bool ok = false;
    const double number = m_controls.grid3->textMatrix(row, m_controls.recordColumn).toDouble(&ok);
    return ok && number >= 1 ? qint32(qRound(number)) : 0;
}

void MaintenanceWindow::showOpeningNotice(const QString &notice)
{
    if (!notice.isEmpty())
        MessageBox::inform(notice, this);
}

void MaintenanceWindow::Grid3_DblClick()
{
    m_controls.grid3->setCurrentCell(0, 0);
    if (QWidget *target = focusAfterGridDoubleClick())
        target->setFocus();
}

void MaintenanceWindow::startEditing()
{
    applyState(EditState::Editing);
    m_controls.text1->setFocus();
}

void MaintenanceWindow::Command4_Click()
{
    m_adding = true;
    m_modifying = false;
    m_editedRecord = 0;
    m_editedText.clear();
    m_controls.text1->clear();
    startEditing();
}

void MaintenanceWindow::Command1_Click()
{
    const int row = m_controls.grid3->row();
    const qint32 record = recordOfRow(row);
    // A filler row has no question to modify, like no row at all.
    if (record == 0) {
        MessageBox::inform(kChooseToModify, this);
        return;
    }
    m_adding = false;
    m_modifying = true;
    m_editedRecord = record;
    m_editedText = m_controls.grid3->textMatrix(row, 1);
    m_controls.text1->setPlainText(m_editedText);
    startModifyingRow(row);
    startEditing();
    m_controls.text1->moveCursor(QTextCursor::End);
}

bool MaintenanceWindow::refused(const BankError &error)
{
    if (error.ok())
        return false;
    if (error.code == BankErrorCode::ChangedElsewhere) {
        followReloadedBank(error);
        return true;
    }
    MessageBox::inform(changeRefusedMessage(error, fullMessage()), this);
    m_controls.text1->setFocus();
    return true;
}

// The bank was reloaded: the grid is drawn again from it, and an edit that
// modifies a question follows that question to its new record number, found
// by its text, since every record number may have moved.
void MaintenanceWindow::followReloadedBank(const BankError &error)
{
    redrawGrid();
    if (m_modifying && m_editedRecord != 0) {
        m_editedRecord = 0;
        for (int row = 1; row < m_controls.grid3->rows(); ++row) {
            const qint32 record = recordOfRow(row);
            if (record != 0 && m_controls.grid3->textMatrix(row, 1) == m_editedText) {
                m_editedRecord = record;
                m_controls.grid3->setCurrentCell(row, 1);
                break;
            }
        }
    }
    MessageBox::inform(error.message, this);
    if (m_modifying && m_editedRecord == 0)
        offerAdditionInstead();
    m_controls.text1->setFocus();
}

// The question being modified is no longer in the bank: its text is saved as
// a new question only if the teacher says so; otherwise it stays in the editor.
void MaintenanceWindow::offerAdditionInstead()
{
    if (MessageBox::askCancelled(kEditedQuestionGone, this))
        return;
    m_modifying = false;
    m_adding = true;
}

bool MaintenanceWindow::nearDuplicateRefused(const QString &text)
{
    const std::optional<NearQuestion> near =
        nearDuplicateOf(text, m_modifying ? m_editedRecord : 0);
    if (!near)
        return false;
    // Cut around where it differs from the text typed, so the difference shows.
    const QString quoted = questionSearch::differenceExcerpt(near->text, text, kQuotedLength);
    return MessageBox::askCancelled(kNearDuplicate.arg(near->place, quoted), this);
}

void MaintenanceWindow::Command5_Click()
{
    if (m_state != EditState::Editing)
        return;
    const QString text = cleanQuestionText(m_controls.text1->toPlainText());
    if (text.isEmpty()) {
        MessageBox::inform(kNoText, this);
        m_controls.text1->setFocus();
        return;
    }
    // A text longer than its field would lose its end: it stays in the
    // editor until the teacher shortens it.
    if (text.size() > textWidth()) {
        MessageBox::inform(kTooLong.arg(text.size()).arg(textWidth()), this);
        m_controls.text1->setFocus();
        return;
    }
    if (m_modifying && m_editedRecord == 0) {
        offerAdditionInstead();
        m_controls.text1->setFocus();
        return;
    }
    if (nearDuplicateRefused(text)) {
        m_controls.text1->setFocus();
        return;
    }
    if (m_modifying) {
        if (refused(writeModification(m_editedRecord, text)))
            return;
    } else if (m_adding) {
        if (!readyToAdd() || refused(writeAddition(text)))
            return;
    } else {
        return;
    }
    redrawGrid();
    // The editing area closes first, the message follows, and only then do
    // the browsing buttons come back: the focus is not moved.
    closeEditingArea();
    MessageBox::inform(kUpdated, this);
    applyState(EditState::Browsing);
}

void MaintenanceWindow::Command6_Click()
{
    endEditing();
    if (QWidget *target = focusAfterCancel())
        target->setFocus();
}

void MaintenanceWindow::Command3_Click()
{
    FlexGrid *grid = m_controls.grid3;
    const int row = grid->row();
    const qint32 record = recordOfRow(row);
    if (record == 0) {
        MessageBox::inform(kChooseToDelete, this);
        return;
    }
    if (MessageBox::askCancelled(kDeleteQuestion.arg(grid->textMatrix(row, 1)), this)) {
        grid->setCurrentCell(0, 0);
        return;
    }
    const BankError error = deleteFromBank(record);
    redrawGrid();
    grid->setCurrentCell(0, 0);
    if (error.code == BankErrorCode::ChangedElsewhere) {
        MessageBox::inform(kChangedBeforeDeletion, this);
        return;
    }
    if (!error.ok()) {
        MessageBox::inform(changeRefusedMessage(error, fullMessage()), this);
        return;
    }
    MessageBox::inform(kUpdated, this);
}

void MaintenanceWindow::Command2_Click()
{
    closeWindow();
}

void MaintenanceWindow::Command7_Click()
{
    showHelp();
}

bool MaintenanceWindow::confirmLeaving()
{
    // Only an edit in progress is lost by closing; Cancel keeps it.
    return m_state != EditState::Editing || !MessageBox::askCancelled(m_leaveQuestion, this);
}

void MaintenanceWindow::leaveWindow()
{
    if (isUnloading())
        return;
    if (MessageBox::askCancelled(m_leaveQuestion, this)) {
        stayOpen();
        return;
    }
    closeWindow();
}
