#include "Fondo.h"

#include "ShellTexts.h"
#include "TitleLabel.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QFrame>

namespace {

// Frame1 and its labels, in twips (left, top, width, height).
constexpr int kFrameWidth = 9840;
constexpr int kFrameHeight = 5160;

} // namespace

float centredOffset(float outer, float inner)
{
    return (outer - inner) / 2.0f;
}

Fondo::Fondo() : Form(WindowNames::kFondo, Placement::MdiChild), m_frame1(new QFrame(this))
{
    // A child window without caption or control box.
    setChildFrameHints(Qt::FramelessWindowHint);
    setWindowTitle(QString());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(p);

    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::Panel);
    m_frame1->setFrameShadow(QFrame::Sunken);
    m_frame1->setLineWidth(2);
    m_frame1->setAutoFillBackground(true);
    QPalette fp = m_frame1->palette();
    fp.setColor(QPalette::Window, fp.color(QPalette::Dark));
    m_frame1->setPalette(fp);
    m_frame1->resize(Twips::toPixelsX(kFrameWidth), Twips::toPixelsY(kFrameHeight));

    using namespace ShellTexts;
    const int inner = kFrameWidth - 480;
    new TitleLabel(QStringLiteral("Label1"), kSubject, 48, QColor(255, 128, 128), m_frame1);
    new TitleLabel(QStringLiteral("Label2"), kProgramName, 24, QColor(255, 255, 192), m_frame1);
    new TitleLabel(QStringLiteral("Label3"), kSubtitle, 21.75, QColor(224, 224, 224), m_frame1);
    new TitleLabel(QStringLiteral("Label4"), kAuthorCredit, 14.25, QColor(192, 255, 255), m_frame1);
    new TitleLabel(QStringLiteral("Label5"), kPublisherCredit, 12, QColor(192, 192, 255), m_frame1);
    const int tops[] = {240, 1380, 2160, 3600, 4320};
    const int heights[] = {1080, 660, 1320, 600, 480};
    for (int i = 0; i < 5; ++i)
        m_frame1->findChild<QWidget *>(QStringLiteral("Label%1").arg(i + 1))
            ->setGeometry(Twips::rect(240, tops[i], inner, heights[i]));
}

void Fondo::Form_Load()
{
    maximize();
}

void Fondo::Form_Resize()
{
    const QScreen *screen = Twips::screenOf(this);
    const auto width = static_cast<float>(Twips::fromPixelsX(this->width(), screen));
    const auto height = static_cast<float>(Twips::fromPixelsY(this->height(), screen));
    const auto frameWidth = static_cast<float>(Twips::fromPixelsX(m_frame1->width(), screen));
    const auto frameHeight = static_cast<float>(Twips::fromPixelsY(m_frame1->height(), screen));
    m_frame1->move(Twips::toPixelsX(centredOffset(width, frameWidth), screen),
                   Twips::toPixelsY(centredOffset(height, frameHeight), screen));
}
