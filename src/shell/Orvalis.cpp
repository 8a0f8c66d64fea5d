#include "Orvalis.h"

#include "Apertura.h"
#include "ColouredButton.h"
#include "Forms.h"
#include "HandOver.h"
#include "MessageBox.h"
#include "ProgramState.h"
#include "ScreenReader.h"
#include "ShellTexts.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

const QString kQuitQuestion = QStringLiteral("¿Seguro que quiere salir? ");
// The output window opens maximized inside the main window, and its strip of
// buttons reaches 9945 twips from its left edge: the main window opens at
// least this wide, frames included, where the screen allows.
constexpr int kLeastWidthTwips = 10500;

struct ToolbarItem
{
    const char *key; // null: a separator without key
    const char *caption;
    const char *toolTip;
    int picture; // 0: a separator
};

// clang-format off
const ToolbarItem kToolbarItems[Orvalis::kToolbarButtons] = {
    {"Salir", "Salir", "Salir del programa", 1},
    {"Sep1", nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, 0},
    {"Exposelec", "Selec.prgntas exp.", "Seleccionar preguntas de exposición", 3},
    {"Expomodifi", "Actual.prgtas.exp.", "Añadir / modificar / eliminar  preguntas de exposición", 11},
    {"Sep4", nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, 0},
    {"Testsselec", "Selec.prgntas test", "Seleccionar preguntas tipo test", 10},
    {"Testsmodifi", "Actual.prgntas test", "Añadir / modificar / eliminar  preguntas tipo test", 12},
    {"Sep2", nullptr, nullptr, 0},
    {"Sep3", nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, 0},
    {"MostrarAyuda", "Ayuda", nullptr, 8},
    {"Corregir", "Corregir hojas…", "Corregir hojas de respuestas escaneadas", 10},
};
// clang-format on

constexpr int kImageListSize = 12;
constexpr int kPanelTwips[] = {1440, 1440, 6240};

} // namespace

Orvalis::Orvalis() : m_area(new QMdiArea(this)), m_endProgram([] { QCoreApplication::exit(0); })
{
    setObjectName(WindowNames::kOrvalis);
    setWindowTitle(ShellTexts::kMainCaption);
    m_area->setObjectName(QStringLiteral("MDIClient"));
    m_area->setBackground(QColor(128, 128, 128));
    setCentralWidget(m_area);

    for (int i = 1; i <= kImageListSize; ++i)
        m_imageList1.append(
            QIcon(QStringLiteral(":/shell/toolbar_%1.png").arg(i, 2, 10, QChar(u'0'))));

    createMenus();
    createToolbar();
    createStatusBar();

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const int width = qMin(available.width(), qMax(available.width() * 4 / 5,
                                                       Twips::toPixelsX(kLeastWidthTwips, screen)));
        QRect frame(QPoint(), QSize(width, available.height() * 17 / 20));
        frame.moveCenter(available.center());
        setGeometry(frame);
    }
    MainWindowServices::install(this);
}

Orvalis::~Orvalis()
{
    if (MainWindowServices::instance() == this)
        MainWindowServices::install(nullptr);
}

void Orvalis::createMenus()
{
    const auto item = [this](QWidget *menu, const char *name, const QString &caption,
                             void (Orvalis::*handler)()) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        menu->addAction(action);
        return action;
    };
    const auto submenu = [this](const char *name, const QString &caption) {
        auto *menu = new QMenu(caption, this);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        menuBar()->addMenu(menu);
        return menu;
    };

    item(menuBar(), "mnuSalir", QStringLiteral("Sa&lir"), &Orvalis::mnuSalir_Click);
    QMenu *exposition = submenu("mnuExamenExposicion", QStringLiteral("Preguntas de &exposición"));
    item(exposition, "mnuSelec1", QStringLiteral("&Seleccionar preguntas"),
         &Orvalis::mnuSelec1_Click);
    item(exposition, "mnuModifi1", QStringLiteral("&Añadir/modificar/eliminar preguntas"),
         &Orvalis::mnuModifi1_Click);
    QMenu *tests = submenu("mnuExamenTests", QStringLiteral("Preguntas &tipo test"));
    item(tests, "mnuSelec2", QStringLiteral("&Seleccionar preguntas"), &Orvalis::mnuSelec2_Click);
    item(tests, "mnuModifi2", QStringLiteral("&Añadir/modificar/eliminar preguntas"),
         &Orvalis::mnuModifi2_Click);
    item(tests, "mnuCorregir", QStringLiteral("&Corregir hojas…"), &Orvalis::mnuCorregir_Click);
    QMenu *help = submenu("mnuAyuda", QStringLiteral("&Ayuda"));
    item(help, "mnuContenido", QStringLiteral("&Contenido"), &Orvalis::mnuContenido_Click);
    item(help, "mnuAcerca", QStringLiteral("&Acerca de ..."), &Orvalis::mnuAcerca_Click);
    // The items that open a window are available exactly while the toolbar is.
    for (const char *name : {"mnuSelec1", "mnuModifi1", "mnuSelec2", "mnuModifi2", "mnuCorregir",
                             "mnuContenido", "mnuAcerca"})
        m_windowItems.append(findChild<QAction *>(QLatin1String(name)));

    // The arrow that shows the menus a narrow window has no room for.
    if (auto *more = menuBar()->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button")))
        ScreenReader::name(more, QStringLiteral("Más menús"));

    // F10 opens the menu bar at its first menu; F1, wherever the keyboard
    // is, opens the help of the active window as its help button would.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this, exposition] { menuBar()->setActiveAction(exposition->menuAction()); });
    auto *helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    helpKey->setContext(Qt::ApplicationShortcut);
    connect(helpKey, &QShortcut::activated, this, &Orvalis::showHelpOfActiveWindow);
}

void Orvalis::showHelpOfActiveWindow()
{
    QWidget *active = Forms::activeForm();
    if (active && active != this)
        for (QPushButton *button : active->findChildren<QPushButton *>())
            if (ColouredButton::isHelpButton(button) && button->isVisible() &&
                button->isEnabled()) {
                button->click();
                return;
            }
    // The main window and its background have the general help; the help
    // and splash windows have none.
    const bool general = !active || active->window() == this;
    if (general && findChild<QAction *>(QStringLiteral("mnuContenido"))->isEnabled())
        mnuContenido_Click();
}

void Orvalis::createToolbar()
{
    m_toolbar1 = addToolBar(QString());
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar1->setIconSize(QSize(32, 32));
    m_toolbar1->toggleViewAction()->setEnabled(false);
    // The arrow that shows the buttons a narrow window has no room for.
    if (auto *more = m_toolbar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        ScreenReader::name(more, QStringLiteral("Más botones"));
    setContextMenuPolicy(Qt::NoContextMenu);

    for (int i = 0; i < kToolbarButtons; ++i) {
        const ToolbarItem &item = kToolbarItems[i];
        const QString key = item.key ? QString::fromUtf8(item.key) : QString();
        QAction *action = nullptr;
        if (item.picture == 0) {
            action = m_toolbar1->addSeparator();
        } else {
            action =
                new QAction(imageListPicture(item.picture), QString::fromUtf8(item.caption), this);
            action->setToolTip(item.toolTip ? QString::fromUtf8(item.toolTip) : QString());
            m_toolbar1->addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, action] { Toolbar1_ButtonClick(action); });
            QWidget *button = m_toolbar1->widgetForAction(action);
            button->setObjectName(QStringLiteral("Toolbar1_%1").arg(i + 1));
            if (!item.toolTip)
                button->installEventFilter(this); // no tool tip, not even the caption
        }
        action->setObjectName(key);
        action->setProperty("key", key);
        action->setProperty("index", i + 1);
        m_toolbarItems.append(action);
    }
}

void Orvalis::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const char *keys[] = {"Fecha", "Hora", ""};
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1_%1").arg(i + 1));
        panel->setProperty("key", QString::fromLatin1(keys[i]));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
        // The text panel is at least as wide as its design and takes the
        // rest of the bar, so that the longest window title fits in it.
        if (i == 2)
            panel->setMinimumWidth(Twips::toPixelsX(kPanelTwips[i]));
        else
            panel->setFixedWidth(Twips::toPixelsX(kPanelTwips[i]));
        bar->addWidget(panel, i == 2 ? 1 : 0);
        m_panels.append(panel);
    }
    ScreenReader::makeAnnouncer(m_panels[2]);
    m_panels[0]->setAlignment(Qt::AlignCenter);
    m_panels[1]->setAlignment(Qt::AlignCenter);
    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("StatusBar1_clock"));
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &Orvalis::updateClock);
    m_clock->start();
    updateClock();
}

void Orvalis::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[0]->setText(now.toString(QStringLiteral("dd/MM/yyyy")));
    m_panels[1]->setText(now.toString(QStringLiteral("HH:mm")));
}

QAction *Orvalis::toolbarItem(int index) const
{
    return index >= 1 && index <= m_toolbarItems.size() ? m_toolbarItems.at(index - 1) : nullptr;
}

QToolButton *Orvalis::toolbarButton(int index) const
{
    QAction *action = toolbarItem(index);
    return action ? qobject_cast<QToolButton *>(m_toolbar1->widgetForAction(action)) : nullptr;
}

QIcon Orvalis::imageListPicture(int index) const
{
    return index >= 1 && index <= m_imageList1.size() ? m_imageList1.at(index - 1) : QIcon();
}

QString Orvalis::statusPanelText(int index) const
{
    return index >= 1 && index <= m_panels.size() ? m_panels.at(index - 1)->text() : QString();
}

void Orvalis::MDIForm_Load()
{
    Forms::load(WindowNames::kFondo);
    QCoreApplication::processEvents();
    QWidget *splash = Forms::show(WindowNames::kApertura);
    // A notice about the start (a folder without a bank) comes once the
    // splash window has given way to the main window.
    if (splash && !startupNotice().isEmpty())
        connect(splash, &QObject::destroyed, this,
                [this] { QTimer::singleShot(0, this, &Orvalis::showStartupNotice); });
    QCoreApplication::processEvents();
}

QString &Orvalis::startupNotice()
{
    static QString notice;
    return notice;
}

void Orvalis::setStartupNotice(const QString &notice)
{
    startupNotice() = notice;
}

void Orvalis::showStartupNotice()
{
    const QString notice = std::exchange(startupNotice(), QString());
    if (!notice.isEmpty())
        MessageBox::inform(notice, this);
}

bool Orvalis::Form_QueryUnload()
{
    return MDIForm_QueryUnload();
}

bool Orvalis::MDIForm_QueryUnload()
{
    return !MessageBox::askCancelled(kQuitQuestion, this);
}

void Orvalis::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (!MDIForm_QueryUnload()) {
        event->ignore();
        return;
    }
    // Every window of the program closes, and with them the program.
    m_closing = true;
    event->accept();
    Forms::unloadAll(this);
    endProgram();
}

void Orvalis::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The splash window shown by the load step stays in front of the frame.
    QTimer::singleShot(0, this, [] {
        QWidget *splash = Forms::find(WindowNames::kApertura);
        if (splash && splash->isVisible())
            splash->raise();
    });
}

bool Orvalis::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void Orvalis::endProgram()
{
    if (m_endProgram)
        m_endProgram();
}

void Orvalis::mnuSalir_Click()
{
    endProgram();
}

void Orvalis::mnuSelec1_Click()
{
    Forms::show(WindowNames::kExamselec);
}

void Orvalis::mnuModifi1_Click()
{
    Forms::show(WindowNames::kExammodi);
}

void Orvalis::mnuSelec2_Click()
{
    Forms::show(WindowNames::kTestselec);
}

void Orvalis::mnuModifi2_Click()
{
    Forms::show(WindowNames::kTestmodi);
}

void Orvalis::mnuCorregir_Click()
{
    Forms::show(WindowNames::kCorreccion);
}

void Orvalis::mnuContenido_Click()
{
    HandOver::openHelp(ActiveWindowCodes::kMain);
}

void Orvalis::mnuAcerca_Click()
{
    Forms::show(WindowNames::kApertura);
}

void Orvalis::Toolbar1_ButtonClick(QAction *button)
{
    if (auto *splash = qobject_cast<Apertura *>(Forms::load(WindowNames::kApertura))) {
        splash->Timer1()->stop();
        splash->hide();
    }
    setHelpButtonVisible(false);

    const QString key = button ? button->property("key").toString() : QString();
    if (key == u"Salir")
        mnuSalir_Click();
    else if (key == u"Exposelec")
        mnuSelec1_Click();
    else if (key == u"Expomodifi")
        mnuModifi1_Click();
    else if (key == u"Testsselec")
        mnuSelec2_Click();
    else if (key == u"Testsmodifi")
        mnuModifi2_Click();
    else if (key == u"Corregir")
        mnuCorregir_Click();
    else if (key == u"MostrarAyuda")
        mnuContenido_Click();
}

void Orvalis::setToolbarEnabled(bool enabled)
{
    m_toolbar1->setEnabled(enabled);
    for (QAction *item : std::as_const(m_windowItems))
        item->setEnabled(enabled);
}

void Orvalis::setHelpButtonVisible(bool visible)
{
    if (QAction *help = toolbarItem(kHelpButton))
        help->setVisible(visible);
}

void Orvalis::setStatusText(const QString &text)
{
    m_panels[2]->setText(text);
}

void Orvalis::announceStatus(const QString &text)
{
    ScreenReader::announce(m_panels[2], text);
}

void Orvalis::focusMainWindow()
{
    raise();
    activateWindow();
}
