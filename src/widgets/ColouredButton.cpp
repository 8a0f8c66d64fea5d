#include "ColouredButton.h"

#include "HelpPicture.h"
#include "ScreenReader.h"

#include <QPushButton>

namespace ColouredButton {

namespace {
constexpr char kHelpProperty[] = "orvalisHelpButton";
}

QPushButton *create(QWidget *parent, const QString &name, const QString &caption,
                    const QColor &colour, const QRect &geometry, int padding)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Enter presses the button that has the focus, as Space does; outside a
    // dialog a push button takes only Space unless told otherwise.
    button->setAutoDefault(true);
    // Disabled, the face fades halfway to white and the caption and border
    // turn grey, so that no colour looks available when it is not.
    const QColor pale((colour.red() + 255) / 2, (colour.green() + 255) / 2,
                      (colour.blue() + 255) / 2);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                         " border: 1px solid #404040; padding: %4px; }"
                                         "QPushButton:focus { border: 2px solid black; }"
                                         "QPushButton:pressed { background-color: %2; }"
                                         "QPushButton:disabled { background-color: %3;"
                                         " color: #8c8c8c; border: 1px solid #b4b4b4; }")
                              .arg(colour.name(), colour.darker(115).name(), pale.name())
                              .arg(padding));
    return button;
}

QPushButton *createHelp(QWidget *parent, const QString &name, const QRect &geometry)
{
    QPushButton *button = create(parent, name, QString(), QColor(192, 192, 192), geometry);
    button->setIcon(helpPicture());
    button->setIconSize(QSize(16, 16));
    button->setToolTip(QStringLiteral("Ayuda"));
    // A picture says nothing to a screen reader.
    ScreenReader::name(button, button->toolTip());
    button->setProperty(kHelpProperty, true);
    return button;
}

bool isHelpButton(const QPushButton *button)
{
    return button && button->property(kHelpProperty).toBool();
}

} // namespace ColouredButton
