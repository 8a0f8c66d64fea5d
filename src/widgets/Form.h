#pragma once
// The base of every window of the program: the lifecycle handlers a window is
// written against (load, activate, deactivate, query-unload, unload, resize)
// and where it lives, as a top-level window or as a child window inside the
// main window's multiple-document area. The registry in Forms.h creates,
// shows and tracks forms by name and calls their handlers.

#include <QString>
#include <QWidget>

class QAbstractButton;
class QMdiSubWindow;

// The handlers themselves, separate from QWidget so that the main window (a
// QMainWindow) can answer them too.
class FormHandlers
{
public:
    virtual ~FormHandlers() = default;

    virtual void Form_Load() {}
    // The form became the program's active form.
    virtual void Form_Activate() {}
    // Another form of the program became active (message boxes, file
    // dialogs, menus and other applications do not count).
    virtual void Form_Deactivate() {}
    // A request to close the form; return false to refuse it.
    virtual bool Form_QueryUnload() { return true; }
    virtual void Form_Unload() {}
    virtual void Form_Resize() {}
};

class Form : public QWidget, public FormHandlers
{
    Q_OBJECT

public:
    enum class Placement
    {
        TopLevel, // a window of its own
        MdiChild  // a child window inside the main window
    };

    explicit Form(const QString &name, Placement placement = Placement::TopLevel);
    ~Form() override;

    QString formName() const { return objectName(); }
    Placement placement() const { return m_placement; }

    // Runs Form_Unload, removes the form from the registry, hides it and
    // destroys it once control returns to the event loop. Safe to call from
    // the form's own handlers; a second call does nothing.
    void unload();
    bool isUnloading() const { return m_unloading; }

    // Maximized: a child window fills the main window's client area, a
    // top-level window fills the screen. Kept until shown if hidden.
    void maximize();
    bool isMaximizedForm() const;

    // What is shown on screen: the child window frame for an MDI child once
    // it is placed in the main window, otherwise the form itself.
    QWidget *container() const;
    // Called by the registry when it places the form in a child window frame.
    void setContainer(QWidget *container);

    // Window hints of the child window frame (e.g. Qt::FramelessWindowHint
    // for a child window without caption); set before the form is loaded.
    void setChildFrameHints(Qt::WindowFlags hints) { m_childFrameHints = hints; }
    Qt::WindowFlags childFrameHints() const { return m_childFrameHints; }

    void setVisible(bool visible) override;

protected:
    // The window's exit button: Esc presses it while the focus is anywhere
    // in the window.
    void setExitButton(QAbstractButton *button);
    // Moves a top-level window so that its frame, of `frameSize` with its
    // top-left corner wanted at `place`, lies inside its screen's available
    // area, as near that place as it can.
    void moveFrameOnScreen(QPoint place, const QSize &frameSize);

    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void remaximizeSiblings(QMdiSubWindow *closing);

    Placement m_placement;
    QWidget *m_container = nullptr;
    bool m_unloading = false;
    bool m_wantMaximized = false;
    Qt::WindowFlags m_childFrameHints;
};
