#pragma once
// The few things a working window may ask of the main window. Windows depend
// on this interface, never on the main window's class.

#include <QString>

class QMdiArea;
class QWidget;

class MainWindowServices
{
public:
    virtual ~MainWindowServices() = default;

    virtual void setToolbarEnabled(bool enabled) = 0;
    virtual void setHelpButtonVisible(bool visible) = 0; // toolbar button 13
    virtual void setStatusText(const QString &text) = 0; // status bar panel 3
    // The same for news the teacher should hear (an exam sent to the
    // printer): a screen reader says it as well.
    virtual void announceStatus(const QString &text) { setStatusText(text); }
    virtual void focusMainWindow() = 0;
    // The main window's frame widget, parent of child windows such as the
    // output window; null when there is no main window.
    virtual QWidget *mainWidget() = 0;
    // The multiple-document area that holds the child windows; by default the
    // first QMdiArea inside mainWidget().
    virtual QMdiArea *mdiArea();

    // The installed main window, or null (tests may install a fake).
    static MainWindowServices *instance();
    static void install(MainWindowServices *services);
};
