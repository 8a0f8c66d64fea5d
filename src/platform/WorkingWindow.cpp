#include "WorkingWindow.h"

#include "Forms.h"
#include "MainWindowServices.h"
#include "OpenFiles.h"
#include "OutputReceiver.h"
#include "ProgramState.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QPushButton>
#include <QScreen>
#include <QShortcut>

WorkingWindow::WorkingWindow(const QString &name, qint16 activeWindowCode,
                             const QString &statusText)
    : Form(name, Placement::TopLevel), m_code(activeWindowCode), m_statusText(statusText)
{
    // Stays over the main window, yet a window of its own.
    if (MainWindowServices *services = MainWindowServices::instance();
        services && services->mainWidget())
        setParent(services->mainWidget(), Qt::Window);
}

void WorkingWindow::setDesign(int widthTwips, int heightTwips, const QColor &background)
{
    setFixedSize(Twips::rect(0, 0, widthTwips, heightTwips).size());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    setPalette(palette);
    setAutoFillBackground(true);
}

void WorkingWindow::setDesignFont()
{
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    setFont(small);
}

void WorkingWindow::setExitButton(QPushButton *button)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, button, &QPushButton::click);
}

void WorkingWindow::Form_Activate()
{
    focusOnActivation();
    if (MainWindowServices *services = MainWindowServices::instance())
        services->setStatusText(m_statusText);
}

void WorkingWindow::Form_Deactivate()
{
    if (ActiveWindowCode != m_code)
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

void WorkingWindow::centreOverMainWindow()
{
    MainWindowServices *services = MainWindowServices::instance();
    QWidget *main = services ? services->mainWidget() : nullptr;
    QRect over;
    if (main && main->isVisible())
        over = main->frameGeometry();
    else if (QScreen *screen = Twips::screenOf(this))
        over = screen->availableGeometry();
    if (over.isValid())
        move(over.center() - rect().center());
}

void WorkingWindow::showHelp()
{
    ActiveWindowCode = m_code;
    Forms::show(WindowNames::kAyuda);
}

void WorkingWindow::handOverToOutput(const QString &text)
{
    // Set first: hiding deactivates this window, which must not leave.
    ActiveWindowCode = m_code;
    hide();
    QWidget *output = Forms::show(WindowNames::kImpres);
    auto *receiver = dynamic_cast<OutputReceiver *>(output);
    if (!receiver) { // no output window in this program: stay usable
        show();
        return;
    }
    receiver->receiveText(text, formName());
}

void WorkingWindow::closeWindow()
{
    closeAllFiles();
    unload();
    if (MainWindowServices *services = MainWindowServices::instance())
        services->focusMainWindow();
}

void WorkingWindow::stayOpen()
{
    raise();
    activateWindow();
}
