#include "Form.h"

#include "Forms.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QPointer>

Form::Form(const QString &name, Placement placement) : m_placement(placement)
{
    setObjectName(name);
}

Form::~Form()
{
    Forms::forget(this);
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
    shown->hide();
    shown->deleteLater();
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
