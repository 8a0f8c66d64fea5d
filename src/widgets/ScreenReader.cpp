#include "ScreenReader.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

constexpr char kAnnouncerProperty[] = "orvalisAnnouncer";

// A label the reader takes for a notification: when it shows (an
// object:state-changed:showing event over AT-SPI) Orca says its name, which
// is the label's text. Inside a status bar it is that bar's notification.
class AnnouncerInterface : public QAccessibleWidget
{
public:
    explicit AnnouncerInterface(QLabel *label) : QAccessibleWidget(label, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcerFactory(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (label && label->property(kAnnouncerProperty).toBool())
        return new AnnouncerInterface(label);
    return nullptr;
}

} // namespace

namespace ScreenReader {

QString nameFrom(const QString &caption)
{
    QString name = QString(caption).remove(u'&').trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name;
}

void name(QWidget *control, const QString &caption)
{
    const QString spoken = nameFrom(caption);
    control->setAccessibleName(spoken);
    if (QWidget *inner = control->focusProxy())
        inner->setAccessibleName(spoken);
}

void name(QWidget *control, QLabel *caption)
{
    caption->setBuddy(control->focusProxy() ? control->focusProxy() : control);
    name(control, caption->text());
}

void makeAnnouncer(QLabel *panel)
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    Q_UNUSED(installed);
    panel->setProperty(kAnnouncerProperty, true);
}

void announce(QLabel *panel, const QString &text)
{
    panel->setText(text);
    if (text.isEmpty())
        return;
    // The panel was on screen already: to the reader a new message appears.
    QAccessibleEvent shown(panel, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void nameCorner(QAbstractItemView *table)
{
    if (auto *corner = table->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->setAccessibleName(QStringLiteral("Seleccionar todo"));
}

} // namespace ScreenReader
