#include "Apertura.h"

#include "Forms.h"
#include "MainWindowServices.h"
#include "PaintGradient.h"
#include "ShellTexts.h"
#include "TitleLabel.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

const QColor kBackground(0, 192, 192);

// Client area and controls, in twips (left, top, width, height).
constexpr int kWidth = 7590;
constexpr int kHeight = 5895;

struct Place
{
    int left, top, width, height;
};

} // namespace

Apertura::Apertura()
    : Form(WindowNames::kApertura), m_image(this, kBackground), m_timer1(new QTimer(this))
{
    // Over the main window when there is one, so that it stays in front of it.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (MainWindowServices *services = MainWindowServices::instance())
        setParent(services->mainWidget(), flags);
    else
        setWindowFlags(flags);
    setWindowTitle(QStringLiteral("Inicio"));
    setFixedSize(Twips::toPixelsX(kWidth), Twips::toPixelsY(kHeight));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_image.fitOwner();

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimerInterval);
    connect(m_timer1, &QTimer::timeout, this, &Apertura::Timer1_Timer);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(QPixmap(QStringLiteral(":/shell/splash.png")));
    image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    image1->setGeometry(Twips::rect(240, 2880, 1920, 1920));

    using namespace ShellTexts;
    const struct
    {
        const char *name;
        QString text;
        double size;
        QColor colour;
        Place place;
    } labels[] = {
        {"Label1", kSubject, 39.75, QColor(255, 0, 0), {120, 120, 7350, 900}},
        {"Label2", kProgramName, 27.75, QColor(255, 255, 0), {120, 1020, 7350, 660}},
        {"Label3", kSubtitle, 20.25, QColor(255, 255, 255), {120, 1740, 7350, 1020}},
        {"Label4", kAuthorCredit, 14.25, QColor(255, 255, 255), {2400, 2940, 4950, 780}},
        {"Label5", kPublisherCredit, 12, QColor(192, 255, 255), {2400, 3840, 4950, 600}},
        {"Label6", kEditionLine, 12, QColor(128, 255, 255), {2400, 4560, 4950, 360}},
    };
    for (const auto &l : labels) {
        auto *label = new TitleLabel(QString::fromLatin1(l.name), l.text, l.size, l.colour, this);
        label->setGeometry(Twips::rect(l.place.left, l.place.top, l.place.width, l.place.height));
    }
}

void Apertura::Form_Load()
{
    PaintGradient(m_image, 0, 0, 1);
    m_timer1->start();
}

void Apertura::Form_Deactivate()
{
    if (MainWindowServices *services = MainWindowServices::instance())
        services->setToolbarEnabled(true);
}

bool Apertura::Form_QueryUnload()
{
    // The window has no control box: only its timer or a click close it.
    return false;
}

void Apertura::Form_Unload()
{
    m_timer1->stop();
    if (MainWindowServices *services = MainWindowServices::instance())
        services->setToolbarEnabled(true);
}

void Apertura::Form_Resize()
{
    m_image.fitOwner();
}

void Apertura::Timer1_Timer()
{
    m_timer1->stop();
    unload();
    Forms::show(WindowNames::kFondo);
}

void Apertura::Form_Click()
{
    // Closed before Fondo is shown, so that the main window's load step
    // creates a fresh splash window, as it does after the timer.
    unload();
    Forms::show(WindowNames::kFondo);
}

void Apertura::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_image.paint(painter);
}

void Apertura::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void Apertura::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && !isUnloading())
        Form_Click();
}
