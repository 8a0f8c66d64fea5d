#pragma once
// The one place the answer of a true/false question becomes the words shown
// and printed for it. Everything else carries the answer as a bool.

#include <QString>

// "Sí" for a true answer, "No" for a false one.
inline QString answerLabel(bool yes)
{
    return yes ? QStringLiteral("Sí") : QStringLiteral("No");
}
