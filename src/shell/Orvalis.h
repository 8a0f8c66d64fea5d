#pragma once
// Orvalis, the main window: a multiple-document frame with the menu bar,
// Toolbar1 (pictures from ImageList1) and StatusBar1 (date, time and a free
// text panel). It opens the working windows by name through the form registry
// and offers the working windows their few services (MainWindowServices).

#include "Form.h"
#include "MainWindowServices.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <functional>

class QAction;
class QCloseEvent;
class QLabel;
class QMdiArea;
class QTimer;
class QToolBar;
class QToolButton;

class Orvalis : public QMainWindow, public FormHandlers, public MainWindowServices
{
    Q_OBJECT

public:
    static constexpr int kToolbarButtons = 14;
    static constexpr int kHelpButton = 13;

    Orvalis();
    ~Orvalis() override;

    // Form handlers.
    void Form_Load() override { MDIForm_Load(); }
    bool Form_QueryUnload() override;

    void MDIForm_Load();
    // Asks before the window closes; true lets it close (and ends the program).
    bool MDIForm_QueryUnload();

    void mnuSalir_Click();
    void mnuSelec1_Click();
    void mnuModifi1_Click();
    void mnuSelec2_Click();
    void mnuModifi2_Click();
    void mnuCorregir_Click();
    void mnuContenido_Click();
    void mnuAcerca_Click();
    void Toolbar1_ButtonClick(QAction *button);
    // F1: the help of the active window, as its help button opens it; the
    // general help from the main window.
    void showHelpOfActiveWindow();

    // MainWindowServices.
    void setToolbarEnabled(bool enabled) override;
    void setHelpButtonVisible(bool visible) override;
    void setStatusText(const QString &text) override;
    void announceStatus(const QString &text) override;
    void focusMainWindow() override;
    QWidget *mainWidget() override { return this; }
    QMdiArea *mdiArea() override { return m_area; }

    // Toolbar items 1 to 14, separators included; the key is the action's
    // "key" property and its object name.
    QAction *toolbarItem(int index) const;
    QToolButton *toolbarButton(int index) const;
    // ImageList1: the toolbar pictures, 1-based.
    QIcon imageListPicture(int index) const;
    QString statusPanelText(int index) const;

    // Said once, after start-up, when the splash window gives way to the
    // main window (the program started in a folder without a bank).
    static void setStartupNotice(const QString &notice);

    // What ending the program does; by default it leaves the event loop at
    // once. Tests replace it.
    void setEndProgram(std::function<void()> action) { m_endProgram = std::move(action); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void updateClock();
    void endProgram();
    static QString &startupNotice();
    void showStartupNotice();

    QMdiArea *m_area;
    QToolBar *m_toolbar1 = nullptr;
    QList<QAction *> m_toolbarItems;
    QList<QAction *> m_windowItems; // menu items that open a window
    QList<QIcon> m_imageList1;
    QList<QLabel *> m_panels;
    QTimer *m_clock = nullptr;
    std::function<void()> m_endProgram;
    bool m_closing = false;
};
