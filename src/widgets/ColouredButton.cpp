#include "ColouredButton.h"

#include "HelpPicture.h"

#include <QPushButton>

namespace ColouredButton {

QPushButton *create(QWidget *parent, const QString &name, const QString &caption,
                    const QColor &colour, const QRect &geometry, int padding)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Enter presses the button that has the focus, as Space does; outside a
    // dialog a push button takes only Space unless told otherwise.
    button->setAutoDefault(true);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                         " border: 1px solid #404040; padding: %3px; }"
                                         "QPushButton:focus { border: 2px solid black; }"
                                         "QPushButton:pressed { background-color: %2; }")
                              .arg(colour.name(), colour.darker(115).name())
                              .arg(padding));
    return button;
}

QPushButton *createHelp(QWidget *parent, const QString &name, const QRect &geometry)
{
    QPushButton *button = create(parent, name, QString(), QColor(192, 192, 192), geometry);
    button->setIcon(helpPicture());
    button->setIconSize(QSize(16, 16));
    button->setToolTip(QStringLiteral("Ayuda"));
    return button;
}

} // namespace ColouredButton
