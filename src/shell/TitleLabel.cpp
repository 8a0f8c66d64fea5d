#include "TitleLabel.h"

TitleLabel::TitleLabel(const QString &name, const QString &text, double pointSize,
                       const QColor &colour, QWidget *parent)
    : QLabel(text, parent)
{
    setObjectName(name);
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(pointSize);
    f.setBold(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    // The window beneath answers the clicks; the labels have none of their own.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}
