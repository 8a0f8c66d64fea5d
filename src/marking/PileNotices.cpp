#include "PileNotices.h"

#include "MarkingSession.h"
#include "ScreenReader.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

PileNotices::PileNotices(QWidget *parent) : QWidget(parent)
{
    m_listRechazadas = new QListWidget(this);
    m_listRechazadas->setObjectName(QStringLiteral("ListRechazadas"));
    m_listRechazadas->setMaximumHeight(5 * m_listRechazadas->fontMetrics().lineSpacing() + 8);
    auto *caption = new QLabel(QStringLiteral("Páginas &rechazadas:"), this);
    caption->setBuddy(m_listRechazadas);
    ScreenReader::name(m_listRechazadas, caption);
    m_labelAusentes = new QLabel(this);
    m_labelAusentes->setObjectName(QStringLiteral("LabelAusentes"));
    m_labelAusentes->setWordWrap(true);
    m_labelAusentes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(m_listRechazadas);
    layout->addWidget(m_labelAusentes);
}

void PileNotices::fill(const MarkingSession &session)
{
    m_listRechazadas->clear();
    for (const Refusal &refusal : session.result().refusals)
        m_listRechazadas->addItem(refusal.line());
    const QStringList absent = session.absent();
    m_labelAusentes->setText(absent.isEmpty() ? QString()
                                              : QStringLiteral("Sin hoja (%1): %2")
                                                    .arg(absent.size())
                                                    .arg(absent.join(QStringLiteral("; "))));
}
