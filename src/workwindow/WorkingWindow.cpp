#include "WorkingWindow.h"

#include "FlexGrid.h"
#include "Forms.h"
#include "HandOver.h"
#include "MainWindowServices.h"
#include "MessageBox.h"
#include "OpenFiles.h"
#include "Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {

// Room for the frame and caption the window system adds, until the window is
// on screen and its real frame is known.
const QMargins kAssumedFrame(8, 40, 8, 8);

} // namespace

WorkingWindow::WorkingWindow(const QString &name, qint16 activeWindowCode,
                             const QString &statusText, Placement placement)
    : Form(name, placement), m_code(activeWindowCode), m_statusText(statusText)
{
    // Stays over the main window, yet a window of its own.
    if (MainWindowServices *services = MainWindowServices::instance();
        placement == Placement::TopLevel && services && services->mainWidget())
        setParent(services->mainWidget(), Qt::Window);
}

void WorkingWindow::setDesign(int widthTwips, int heightTwips, const QColor &background)
{
    m_designSize = Twips::rect(0, 0, widthTwips, heightTwips).size();
    setMinimumSize(m_designSize);
    resize(m_designSize);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    setPalette(palette);
    setAutoFillBackground(true);
    // The list with the keyboard focus says so with a navy frame.
    setStyleSheet(QStringLiteral("QListWidget { border: 2px solid #a0a0a0; }"
                                 "QListWidget:focus { border: 2px solid #000080; }"));
}

SearchField *WorkingWindow::addSearchField(SearchField::Load load, SearchField::Choose choose)
{
    const QRect strip = Twips::rect(0, 0, 0, kSearchStripHeight);
    const int top = m_designSize.height();
    m_designSize.rheight() += strip.height();
    setMinimumSize(m_designSize);
    resize(m_designSize);
    const QRect field = Twips::rect(180, 75, 0, 330);
    return new SearchField(
        this, QRect(field.left(), top + field.top(), width() - 2 * field.left(), field.height()),
        std::move(load), std::move(choose));
}

void WorkingWindow::setDesignFont()
{
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    // A window whose style sheet is set before its font keeps that font from
    // the controls created afterwards: the sheet is set again after the font.
    const QString sheet = styleSheet();
    setStyleSheet(QString());
    setFont(small);
    setStyleSheet(sheet);
    m_designFont = true;
}

void WorkingWindow::settleControls()
{
    // Under a style sheet, controls inside a frame do not inherit the
    // window's font: each one without a font of its own is given it.
    if (m_designFont)
        for (QWidget *control : findChildren<QWidget *>())
            if (!control->isWindow() && !control->testAttribute(Qt::WA_SetFont))
                control->setFont(font());
    // A control inside a frame starts below the frame's caption and border,
    // whatever height the font gives them.
    for (QGroupBox *frame : findChildren<QGroupBox *>()) {
        const int top = frame->contentsRect().top();
        for (QObject *object : frame->children()) {
            auto *control = qobject_cast<QWidget *>(object);
            if (control && !control->isWindow() && control->y() < top)
                control->move(control->x(), top);
        }
    }
}

void WorkingWindow::Form_Activate()
{
    focusOnActivation();
    if (MainWindowServices *services = MainWindowServices::instance())
        services->setStatusText(m_statusText);
}

void WorkingWindow::Form_Deactivate()
{
    if (!HandOver::keepsOpen(m_code))
        leaveWindow();
}

void WorkingWindow::Form_Unload()
{
    MainWindowServices *services = MainWindowServices::instance();
    if (services)
        services->setStatusText(QString());
    closeAllFiles();
    if (services)
        services->setHelpButtonVisible(true);
}

void WorkingWindow::addGrowingGrid(QWidget *grid, int share)
{
    m_grids.append(grid);
    grid->setProperty("growShare", qMax(share, 1));
    // The question column takes the width the grid gains.
    if (auto *flexGrid = qobject_cast<FlexGrid *>(grid))
        flexGrid->setGrowingCol(1);
}

bool WorkingWindow::Form_QueryUnload()
{
    if (confirmLeaving())
        return true;
    stayOpen();
    return false;
}

void WorkingWindow::captureDesign()
{
    m_designCaptured = true;
    for (QObject *object : children()) {
        auto *widget = qobject_cast<QWidget *>(object);
        if (widget && !widget->isWindow())
            m_designGeometry.insert(widget, widget->geometry());
    }
    for (const QPointer<QWidget> &grid : std::as_const(m_grids)) {
        if (!grid)
            continue;
        const QRect design = m_designGeometry.value(grid, grid->geometry());
        const bool known = std::any_of(m_bands.cbegin(), m_bands.cend(),
                                       [&](const Band &band) { return band.design == design; });
        if (!known)
            m_bands.append({design, grid->property("growShare").toInt(), 0});
    }
}

void WorkingWindow::relayout()
{
    if (!m_designCaptured) {
        if (size() == m_designSize || m_designSize.isEmpty())
            return;
        captureDesign();
    }
    const int dx = width() - m_designSize.width();
    int dy = height() - m_designSize.height();
    int shares = 0;
    for (const Band &band : std::as_const(m_bands))
        shares += band.share;
    for (qsizetype i = 0; i < m_bands.size(); ++i) {
        Band &band = m_bands[i];
        band.extra = (i + 1 == m_bands.size()) ? dy : dy * band.share / qMax(shares, 1);
        band.extra = qMax(band.extra, kMinimumGridHeight - band.design.height());
        dy -= band.extra;
        shares -= band.share;
    }
    // A control moves down by what every band above it has grown.
    const auto shiftAbove = [this](int top) {
        int shift = 0;
        for (const Band &band : std::as_const(m_bands))
            if (band.design.top() + band.design.height() <= top)
                shift += band.extra;
        return shift;
    };
    for (auto it = m_designGeometry.cbegin(); it != m_designGeometry.cend(); ++it) {
        QRect place = it.value();
        place.translate(0, shiftAbove(place.top()));
        if (m_grids.contains(it.key())) {
            for (const Band &band : std::as_const(m_bands))
                if (band.design == it.value())
                    place.setHeight(place.height() + band.extra);
            place.setWidth(qMax(place.width() + dx, kMinimumGridHeight));
        }
        it.key()->setGeometry(place);
    }
}

void WorkingWindow::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    relayout();
}

void WorkingWindow::showEvent(QShowEvent *event)
{
    if (!std::exchange(m_controlsSettled, true))
        settleControls();
    Form::showEvent(event);
    // The real frame is known only once the window is on screen.
    QTimer::singleShot(0, this, &WorkingWindow::keepFrameOnScreen);
}

void WorkingWindow::fitToScreen()
{
    const QScreen *screen = Twips::screenOf(this);
    if (!screen || m_designSize.isEmpty())
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameGeometry() != geometry()
                               ? QMargins(geometry().left() - frameGeometry().left(),
                                          geometry().top() - frameGeometry().top(),
                                          frameGeometry().right() - geometry().right(),
                                          frameGeometry().bottom() - geometry().bottom())
                               : kAssumedFrame;
    const QSize room = available.marginsRemoved(frame).size();
    // How far the grids let the window shrink.
    int shrinkable = 0;
    QList<QRect> counted;
    for (const QPointer<QWidget> &grid : std::as_const(m_grids)) {
        const QRect design = m_designCaptured ? m_designGeometry.value(grid) : grid->geometry();
        if (grid && !counted.contains(design)) {
            counted.append(design);
            shrinkable += qMax(design.height() - kMinimumGridHeight, 0);
        }
    }
    const QSize smallest(m_designSize.width(), m_designSize.height() - shrinkable);
    const QSize minimum = m_designSize.boundedTo(room).expandedTo(smallest.boundedTo(room));
    setMinimumSize(minimum.boundedTo(m_designSize));
    resize(size().boundedTo(room).expandedTo(minimumSize()));
}

void WorkingWindow::keepFrameOnScreen()
{
    const QScreen *screen = Twips::screenOf(this);
    if (!screen || !isVisible())
        return;
    if (screen->availableGeometry().contains(frameGeometry()))
        return;
    fitToScreen();
    moveFrameOnScreen(frameGeometry().topLeft(), frameGeometry().size());
}

void WorkingWindow::centreOverMainWindow()
{
    fitToScreen();
    MainWindowServices *services = MainWindowServices::instance();
    QWidget *main = services ? services->mainWidget() : nullptr;
    QRect over;
    if (main && main->isVisible())
        over = main->frameGeometry();
    else if (QScreen *screen = Twips::screenOf(this))
        over = screen->availableGeometry();
    if (!over.isValid())
        return;
    // The frame, caption included, is kept inside the available area.
    moveFrameOnScreen(over.center() - rect().center(), size().grownBy(kAssumedFrame));
}

void WorkingWindow::showHelp()
{
    HandOver::openHelp(m_code);
}

void WorkingWindow::handOverToOutput(const QString &text, const ExamDescription &exam)
{
    HandOver::toOutput(this, m_code, text, exam);
}

void WorkingWindow::closeWindow()
{
    // Left because another window took over: that window keeps the
    // activation; taking it to the main window would make it leave in turn.
    const bool stillActive = Forms::activeForm() == this || !Forms::activeForm();
    closeAllFiles();
    unload();
    if (MainWindowServices *services = MainWindowServices::instance(); services && stillActive)
        services->focusMainWindow();
}

void WorkingWindow::stayOpen()
{
    raise();
    activateWindow();
}

void WorkingWindow::addKeepingFocus(FlexGrid *available, const std::function<void()> &add)
{
    const int row = available->row();
    add();
    if (row >= 1 && row < available->rows()) {
        available->setCurrentCell(row, 1);
        available->setFocus();
    }
}

void WorkingWindow::removeKeepingFocus(FlexGrid *selected, int count,
                                       const std::function<void()> &remove)
{
    const int row = selected->row();
    if (row < 1 || row > count)
        return;
    remove();
    if (count > 1) {
        selected->setCurrentCell(qMin(row, count - 1), 1);
        selected->setFocus();
    }
}

QLabel *WorkingWindow::addLabel(QWidget *parent, const QString &name, const QString &text,
                                const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    if (geometry.isEmpty()) {
        label->move(geometry.topLeft());
        label->adjustSize();
    } else {
        label->setGeometry(geometry);
    }
    return label;
}

void WorkingWindow::prepareListingRows(FlexGrid *grid, int count, int minimumRows, int rowHeight)
{
    grid->setRows(qMax(count + 1, minimumRows));
    grid->setCurrentCell(0, 0);
    for (int row = 1; row < grid->rows(); ++row) {
        grid->setRowHeight(row, rowHeight);
        grid->setTextMatrix(row, 0, QString::number(row));
    }
}
