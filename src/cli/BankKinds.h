#pragma once
// The four kinds of question of the bank as orvalis-banco names them: the
// word that selects a kind on the command line (--tipo), the source file of
// the demo bank it is read from and the caption its questions are filed under when exported.

#include "DemoSource.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace bankKinds {

// "test", "conceptual", "practica", "breve".
QString optionName(QuestionKind kind);
std::optional<QuestionKind> fromOptionName(QStringView name);
// The kind whose demo source file has this name ("verdadero_falso.txt", ...),
// whatever folder it lies in and whatever the letter case.
std::optional<QuestionKind> fromSourceFileName(const QString &path);

// "Verdadero o falso", "Conceptuales", "Prácticas", "Breves".
QString caption(QuestionKind kind);

} // namespace bankKinds
