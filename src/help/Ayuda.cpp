#include "Ayuda.h"

#include "BankCounts.h"
#include "HandOver.h"
#include "HelpText.h"
#include "MainWindowServices.h"
#include "ProgramState.h"
#include "ScreenReader.h"
#include "Twips.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Sizes in twips. The window's outer size (frame included) drives the layout.
constexpr int kLoadWidth = 8700;
constexpr int kLoadHeight = 5800;
constexpr int kMinimumSide = 3000;
constexpr int kTextLeft = 300;
constexpr int kTextTop = 240;
constexpr int kTextWidthAllowance = 660;
constexpr int kTextHeightAllowance = 1260;
constexpr int kButtonRise = 850; // from the outer bottom edge to the button's top

QSize twipsSize(int width, int height)
{
    return QSize(Twips::toPixelsX(width), Twips::toPixelsY(height));
}

} // namespace

Ayuda::Ayuda() : Form(kName, Placement::TopLevel)
{
    // A window of its own that stays over the main window.
    if (MainWindowServices *services = MainWindowServices::instance();
        services && services->mainWidget())
        setParent(services->mainWidget(), Qt::Window);
    setWindowTitle(QStringLiteral("Orvalis - AYUDA "));

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    // The count table is laid out with spaces and dots for a fixed-pitch font.
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    font.setStyleHint(QFont::TypeWriter);
    m_text1->setFont(font);
    m_text1->setReadOnly(true);
    m_text1->setTabChangesFocus(true);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setGeometry(Twips::rect(300, 240, 7905, 4095));
    ScreenReader::name(m_text1, QStringLiteral("Ayuda"));

    m_command1 = new QPushButton(QStringLiteral("Cerrar ayuda"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(Twips::rect(3630, 4560, 1335, 285));
    connect(m_command1, &QPushButton::clicked, this, &Ayuda::Command1_Click);
    setExitButton(m_command1); // "Cerrar ayuda"
}

void Ayuda::Form_Load()
{
    m_loadAllowance = frameAllowance();
    setOuterSize(twipsSize(kLoadWidth, kLoadHeight));
    m_text = HelpText::composeHelpText(HandOver::helpOpener(), countBankRecords());
    m_text1->setPlainText(m_text);
}

void Ayuda::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    placeOverMainWindow();
    // The load size is an outer size: once the frame is known, the inside
    // gives way to it, unless the window has been resized in the meantime.
    QTimer::singleShot(0, this, [this] {
        const QSize loadSize = twipsSize(kLoadWidth, kLoadHeight);
        if (frameAllowance() != m_loadAllowance && size() == loadSize - m_loadAllowance)
            setOuterSize(loadSize);
    });
}

void Ayuda::placeOverMainWindow()
{
    // Centred over the main window, its frame kept inside the screen.
    MainWindowServices *services = MainWindowServices::instance();
    const QWidget *main = services ? services->mainWidget() : nullptr;
    if (!main || !main->isVisible())
        return;
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(main->frameGeometry().center());
    moveFrameOnScreen(frame.topLeft(), frame.size());
}

void Ayuda::setOuterSize(const QSize &outer)
{
    resize(outer - frameAllowance());
}

void Ayuda::Form_Resize()
{
    QSize outer = outerSize();
    const QSize minimum = twipsSize(kMinimumSide, kMinimumSide);
    if (outer.height() < minimum.height() || outer.width() < minimum.width()) {
        // A side below the minimum is set back to it; the controls are placed
        // for the corrected size even if the new size arrives later.
        outer = outer.expandedTo(minimum);
        setOuterSize(outer);
    }
    placeControls(outer);
}

void Ayuda::placeControls(const QSize &outer)
{
    m_text1->setGeometry(Twips::toPixelsX(kTextLeft), Twips::toPixelsY(kTextTop),
                         outer.width() - Twips::toPixelsX(kTextWidthAllowance),
                         outer.height() - Twips::toPixelsY(kTextHeightAllowance));
    // The button stays centred under the text.
    m_command1->move((outer.width() - m_command1->width()) / 2,
                     outer.height() - Twips::toPixelsY(kButtonRise));
}

void Ayuda::Command1_Click()
{
    unload();
    HandOver::helpClosed();
}

void Ayuda::Form_Unload()
{
    // After general help the main window's help button, hidden by the
    // toolbar click that opened it, comes back.
    if (HandOver::helpOpener() == ActiveWindowCodes::kMain)
        if (MainWindowServices *services = MainWindowServices::instance())
            services->setHelpButtonVisible(true);
}
