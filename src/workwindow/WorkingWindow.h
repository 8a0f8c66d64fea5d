#pragma once
// What the four working windows (the two selection windows and the two
// maintenance windows) do alike: each is a top-level window over the main
// window with its own ActiveWindowCode. On activation it writes its title to
// the main window's status bar; when another form of the program becomes
// active while ActiveWindowCode is not its own, it leaves (asking first, where
// it has a question); Esc presses its exit button; it opens centred over the
// main window; and on closing it empties the status text, closes every open
// file and shows the main window's help button again. A window built on it
// adds only its controls and handlers.
//
// The design size is the window's smallest size, unless the screen's
// available area is smaller: then the window opens fitted to that area. When
// the window is larger than its design, the grids it names take the extra
// room and the controls below them move down with them; everything else keeps
// its design place. Its close box leaves the way its exit button does.

#include "ExamDescription.h"
#include "Form.h"
#include "SearchField.h"

#include <functional>

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;

class FlexGrid;

class WorkingWindow : public Form
{
    Q_OBJECT

public:
    // A window of its own over the main window, or (MdiChild) a child window
    // inside it.
    WorkingWindow(const QString &name, qint16 activeWindowCode, const QString &statusText,
                  Placement placement = Placement::TopLevel);

    qint16 activeWindowCode() const { return m_code; }

    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_Unload() override;

    // Leaves the window, after its question where it asks one; Cancel keeps
    // it open. Called by the exit button and when the window loses activation.
    virtual void leaveWindow() = 0;

    // The colour of the hint labels: navy, which reads on every window's
    // light background.
    static inline const QColor kHintColour = QColor(0, 0, 128);
    // Smallest height, in pixels, a grid is given on a screen too small for
    // the design.
    static constexpr int kMinimumGridHeight = 60;

    QSize designSize() const { return m_designSize; }

protected:
    // Fixed client size in twips and background colour.
    void setDesign(int widthTwips, int heightTwips, const QColor &background);
    // The design's places are measured for a small sans serif: Arial
    // (Liberation Sans through the font configuration) at 8.25 points keeps
    // every caption inside its control.
    void setDesignFont();
    // Run by Form_Activate after the status text: where the focus goes.
    virtual void focusOnActivation() {}
    // A grid that takes a share of the extra height when the window is
    // enlarged (and gives it up when the screen is too small), and the whole
    // extra width, which goes to its question column (column 1). Grids placed at the same design
    // rectangle share one band.
    void addGrowingGrid(QWidget *grid, int share = 1);
    // Enter in an available-questions grid: `add` takes its current question,
    // and the focus stays in the grid on the same row, so that the teacher
    // can go on choosing with the arrow keys and Enter.
    static void addKeepingFocus(FlexGrid *available, const std::function<void()> &add);
    // Enter or Delete in a selected-questions grid holding `count` questions:
    // `remove` takes out the current one, and the focus stays in the grid on
    // the question that took its place (or the new last one) while any is
    // left.
    static void removeKeepingFocus(FlexGrid *selected, int count,
                                   const std::function<void()> &remove);
    // The search field "Buscar" in a strip under the design, which grows by
    // that strip: nothing of the design moves. Once the controls are built,
    // before their tab order is set.
    SearchField *addSearchField(SearchField::Load load, SearchField::Choose choose);
    // Height of that strip, in twips.
    static constexpr int kSearchStripHeight = 480;
    // A label showing `text`, named `name` (unnamed when empty), at
    // `geometry`; a geometry of no size puts it at that corner, sized to its
    // caption.
    static QLabel *addLabel(QWidget *parent, const QString &name, const QString &text,
                            const QRect &geometry);
    // Readies a question grid for a listing of `count` questions: room for
    // them and never fewer than `minimumRows` rows (the header row included),
    // every row below the header numbered in the fixed column and `rowHeight`
    // twips high, and no cell chosen. The window then writes each question
    // into the row of its position.
    static void prepareListingRows(FlexGrid *grid, int count, int minimumRows, int rowHeight);
    // The close box: true lets the window close. By default it asks what
    // leaveWindow() would ask, if anything; Cancel keeps the window.
    bool Form_QueryUnload() override;
    // Whether leaving now would lose work the teacher has not sent anywhere.
    virtual bool confirmLeaving() { return true; }

    // Fits the window to its screen's available area, then centres it over
    // the main window, keeping its frame inside that area.
    void centreOverMainWindow();
    // Sets ActiveWindowCode to this window's value (so that it does not
    // leave) and shows the help window.
    void showHelp();
    // Hands `text`, composed from `exam`, to the output window: this window
    // stays loaded, hidden, with its state intact, and is shown again when
    // the output window is left.
    void handOverToOutput(const QString &text, const ExamDescription &exam);
    // Closes every file, unloads the window and gives the focus back to the
    // main window, unless another window has already taken it.
    void closeWindow();
    // After a question answered Cancel: the window comes forward again.
    void stayOpen();

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Band
    {
        QRect design;
        int share = 1;
        int extra = 0; // pixels added to this band's height
    };
    // Once, before the window is first shown: the design font reaches every
    // control and no control lies over its frame's caption.
    void settleControls();
    void captureDesign();
    void relayout();
    void fitToScreen();
    void keepFrameOnScreen();

    qint16 m_code;
    QString m_statusText;
    QSize m_designSize;
    QList<QPointer<QWidget>> m_grids;
    QList<Band> m_bands;
    QHash<QWidget *, QRect> m_designGeometry; // direct children, at design size
    bool m_designCaptured = false;
    bool m_designFont = false;
    bool m_controlsSettled = false;
};
