#pragma once
// What the two maintenance windows do alike: a grid of the chosen chapter's
// (and topic's) questions with each record number in a hidden column, three
// buttons to add, modify and delete, and an editing area with "Actualizar"
// and "Cancelar". The window is either browsing (the editing area disabled)
// or editing (the three buttons disabled); one function applies the state to
// the widgets. Every change goes to the bank at once; a change the bank
// refuses or cannot make leaves the file as it was and the edit in the
// editor. When another program changed the bank file first, nothing is
// written: the grid is redrawn from the reloaded bank and a modification
// follows its question to wherever it now lies. Each window supplies its controls, how it lists
// questions and how a question is written, added and deleted.

#include "BankResult.h"
#include "WorkingWindow.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <optional>

class FlexGrid;
class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class MaintenanceWindow : public WorkingWindow
{
    Q_OBJECT

public:
    enum class EditState
    {
        Browsing,
        Editing
    };

    MaintenanceWindow(const QString &name, qint16 activeWindowCode, const QString &statusText,
                      const QString &leaveQuestion);

    void Grid3_DblClick();
    void Command4_Click(); // "Añadir nueva pregunta"
    void Command1_Click(); // "Modificar pregunta"
    void Command5_Click(); // "Actualizar"
    void Command6_Click(); // "Cancelar"
    void Command3_Click(); // "Eliminar pregunta"
    void Command2_Click(); // exit
    void Command7_Click(); // help

    // The leave question; OK closes the window, Cancel keeps it.
    void leaveWindow() override;
    // The close box asks the leave question only while an edit is in
    // progress; while browsing it closes as the exit button does.
    bool confirmLeaving() override;

    bool adding() const { return m_adding; }
    bool modifying() const { return m_modifying; }

protected:
    struct Controls
    {
        QListWidget *list1 = nullptr;
        FlexGrid *grid3 = nullptr;
        QPlainTextEdit *text1 = nullptr;
        QPushButton *command4 = nullptr, *command1 = nullptr, *command3 = nullptr;
        QPushButton *command5 = nullptr, *command6 = nullptr;
        QPushButton *command2 = nullptr, *command7 = nullptr;
        // Enabled only while editing, besides Text1, Command5 and Command6.
        QList<QWidget *> editingOnly;
        int recordColumn = 0; // the grid column that holds record numbers
    };
    void setControls(const Controls &controls);

    // The available questions: "Preguntas disponibles:" at `labelTop`, the
    // hint over the grid from its design place to the grid's right edge
    // (wrapped at word boundaries, however wide the font makes it), and Grid3
    // with `cols` columns, of which `recordColumn` holds the record numbers
    // and is never shown. Places in twips.
    void addQuestionGrid(Controls &controls, int labelTop, int hintTop, int hintHeight, int gridTop,
                         int gridHeight, int cols, int recordColumn);
    // Text1 in `frame1` and the buttons that end an edit: Command5
    // ("Actualizar") and Command6 ("Cancelar") in `frame3`, Command2 ("Salir
    // de añadir/modificar preguntas") under it at `exitLeft`.
    void addEditingControls(Controls &controls, QWidget *frame1, const QRect &text,
                            bool textScrolls, QWidget *frame3, const QRect &update,
                            const QRect &cancel, int exitLeft);
    static constexpr int kGridWidth = 9225;  // twips
    static constexpr int kFrameRight = 9375; // right edge of Frame3, twips
    // Control set-up shared by both windows, places in twips: a frame, and
    // the three browsing buttons (Command4, Command1, Command3) side by side
    // at `top`.
    static QGroupBox *addFrame(QWidget *parent, const QString &name, const QString &caption,
                               const QRect &geometry);
    void addBrowsingButtons(Controls &controls, int top);
    const Controls &controls() const { return m_controls; }

    void applyState(EditState state);
    // Back to browsing with an empty editing area, no row chosen.
    void endEditing();
    // The editing area disabled and emptied, no row chosen; the browsing
    // buttons stay as they are until applyState(Browsing).
    void closeEditingArea();

    // The record number of a grid row, or 0 for the header and filler rows.
    qint32 recordOfRow(int row) const;

    // Called once a bank file has opened: shows its notice, if it has one.
    void showOpeningNotice(const QString &notice);

    // Redraws the grid for the chosen chapter (and topic).
    virtual void redrawGrid() = 0;
    // While starting to modify `row`: fill what the window edits besides Text1.
    virtual void startModifyingRow(int row) { Q_UNUSED(row); }
    // Before an addition: false (after telling the teacher) when it cannot go on.
    virtual bool readyToAdd() { return true; }
    // A question of the same kind and chapter that `text` nearly repeats,
    // other than record `except`, the one modified (0 for an addition): where
    // it is filed ("capítulo 3, tema 2") and its text.
    struct NearQuestion
    {
        QString place;
        QString text;
    };
    virtual std::optional<NearQuestion> nearDuplicateOf(const QString &text, qint32 except) = 0;
    virtual BankError writeModification(qint32 record, const QString &text) = 0;
    virtual BankError writeAddition(const QString &text) = 0;
    virtual BankError deleteFromBank(qint32 record) = 0;
    // The questions the search field finds, and how a found question's place
    // (chapter and topic, or kind and chapter) is chosen.
    virtual void loadSearch(QuestionSearch &search) = 0;
    virtual void goToPlace(const SearchEntry &entry) = 0;
    // The refusal of an addition to a full topic or chapter.
    virtual QString fullMessage() const = 0;
    // How many characters the record has room for.
    virtual int textWidth() const = 0;
    // Shows the edited text's stored length against textWidth().
    void updateTextLength();
    // Clears what the window edits besides Text1 (the answer options).
    virtual void clearEditExtras() {}
    // Where the focus goes after "Cancelar"; null leaves it where it is.
    virtual QWidget *focusAfterCancel() const { return nullptr; }
    // Where the focus goes after a double-click on the grid; null leaves it
    // where it is.
    virtual QWidget *focusAfterGridDoubleClick() const { return nullptr; }

private:
    void startEditing();
    void clearEditedText();
    // Tells the teacher why the bank refused a change; true when it did.
    bool refused(const BankError &error);
    void followReloadedBank(const BankError &error);
    void offerAdditionInstead();
    // A question chosen in the search field: its place is listed and its row
    // made current, ready for "Modificar pregunta".
    void showFound(const SearchEntry &entry);
    // Before a change is written: true when `text` nearly repeats another
    // question and the teacher chose not to save it.
    bool nearDuplicateRefused(const QString &text);

    Controls m_controls;
    SearchField *m_search = nullptr;
    QLabel *m_textLength = nullptr;
    QString m_leaveQuestion;
    EditState m_state = EditState::Browsing;
    bool m_adding = false;
    bool m_modifying = false;
    qint32 m_editedRecord = 0;
    QString m_editedText; // the question as listed when its modification started
};
