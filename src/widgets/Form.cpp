#include "Form.h"

#include "Forms.h"
#include "Twips.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QShortcut>

Form::Form(const QString &name, Placement placement) : m_placement(placement)
{
    setObjectName(name);
}

Form::~Form()
{
    Forms::forget(this);
}

void Form::setExitButton(QAbstractButton *button)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    // A child window shares its top-level window with the main window and
    // the other child windows: Esc there is the child's only while it holds
    // the focus.
    if (m_placement == Placement::MdiChild)
        escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, button, &QAbstractButton::click);
}

void Form::moveFrameOnScreen(QPoint place, const QSize &frameSize)
{
    if (const QScreen *screen = Twips::screenOf(this)) {
        const QRect room = screen->availableGeometry();
        place.setX(qMax(room.left(), qMin(place.x(), room.right() - frameSize.width() + 1)));
        place.setY(qMax(room.top(), qMin(place.y(), room.bottom() - frameSize.height() + 1)));
    }
    move(place);
}

void Form::unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    Forms::forget(this);
    QPointer<Form> self(this);
    Form_Unload();
    if (!self)
        return;
    QWidget *shown = container();
    const bool wasMaximized = shown != this && shown->isMaximized();
    shown->hide();
    if (wasMaximized)
        remaximizeSiblings(qobject_cast<QMdiSubWindow *>(shown));
    shown->deleteLater();
}

void Form::remaximizeSiblings(QMdiSubWindow *closing)
{
    // While a maximized child window is active, the area shows the other
    // child windows restored; the ones that were opened maximized (the
    // background window) fill the area again once it has gone. This runs
    // while the main window is still the active window, so it takes the
    // activation from no one.
    QMdiArea *area = closing ? closing->mdiArea() : nullptr;
    if (!area)
        return;
    const QList<QMdiSubWindow *> frames = area->subWindowList();
    for (QMdiSubWindow *frame : frames) {
        auto *form = qobject_cast<Form *>(frame->widget());
        if (frame != closing && form && form->m_wantMaximized && frame->isVisible() &&
            !frame->isMaximized())
            frame->showMaximized();
    }
}

void Form::maximize()
{
    m_wantMaximized = true;
    QWidget *shown = container();
    if (shown->isVisible())
        shown->showMaximized();
    else
        shown->setWindowState(shown->windowState() | Qt::WindowMaximized);
}

bool Form::isMaximizedForm() const
{
    return container()->isMaximized();
}

QWidget *Form::container() const
{
    return m_container ? m_container : const_cast<Form *>(this);
}

void Form::setContainer(QWidget *container)
{
    m_container = container;
}

void Form::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (m_container && m_container != this) {
        // A child window shows and hides with its frame.
        if (visible && m_wantMaximized)
            m_container->showMaximized();
        else
            m_container->setVisible(visible);
    } else if (visible && m_wantMaximized && !isMaximized() && isWindow()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void Form::closeEvent(QCloseEvent *event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    // unload() destroys the form later; the close itself only hides it.
    event->accept();
    unload();
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}
