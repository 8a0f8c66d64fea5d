#pragma once
// The one way the program shows a message or asks a question: a modal box
// titled "Orvalis", without icon, with "Aceptar" or "Aceptar" and "Cancelar";
// Esc and Enter answer "Cancelar" (or "Aceptar" when it is the only button),
// so that no reflex key confirms a question. Of a
// question's answers only Cancel matters to the callers.

#include <QString>

class QWidget;

class MessageBox
{
public:
    enum class Buttons
    {
        Ok,
        OkCancel
    };

    static inline const QString kTitle = QStringLiteral("Orvalis");
    static inline const QString kOkText = QStringLiteral("Aceptar");
    static inline const QString kCancelText = QStringLiteral("Cancelar");

    // Shows the box and waits for the answer; returns true when Cancel was
    // chosen. The box is centred over `parent`, or over the active window.
    static bool show(const QString &text, Buttons buttons = Buttons::Ok, QWidget *parent = nullptr);
    // A message with the one button "Aceptar".
    static void inform(const QString &text, QWidget *parent = nullptr);
    // A question with "Aceptar" and "Cancelar"; true when Cancel was chosen.
    static bool askCancelled(const QString &text, QWidget *parent = nullptr);
};
