#pragma once
// Answers the program's message boxes in GUI tests: each must match the next
// expected box (text, buttons in any order; a text ending in "…" is a prefix),
// be titled "Orvalis" and have no icon; then its `click` button is pressed
// (kEscape, or kEnter for the default button).
#include <QStringList>

#include <functional>

namespace MessageBoxResponder {

inline const QString kEscape = QStringLiteral("<Esc>");
inline const QString kEnter = QStringLiteral("<Enter>");
struct Box
{
    QString text;
    QStringList buttons;
    QString click;
};
inline Box notice(const QString &text, const QString &click = QStringLiteral("Aceptar"))
{
    return {text, {QStringLiteral("Aceptar")}, click};
}
inline Box question(const QString &text, const QString &click)
{
    return {text, {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}, click};
}
// Runs `action` answering the `expected` boxes in turn; empty when each came
// as expected and no other box was shown, else what went wrong.
QString answer(QList<Box> expected, const std::function<void()> &action);

} // namespace MessageBoxResponder
