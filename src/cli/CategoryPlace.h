#pragma once
// Where a question of a Moodle question file goes in the bank, read from the
// category it is filed under: the category path orvalis-banco's export writes
// ("$course$/top/Orvalis/Verdadero o falso/Capítulo 04. La demanda/Tema 1.
// Concepto y tipos de demanda"; "…/Conceptuales/Capítulo 04. La demanda")
// names the kind, the chapter and the topic by their catalogue titles. Only
// the last names of the path count, so the same categories moved under
// another parent in Moodle still say where their questions go.

#include "QuestionKind.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace categoryPlace {

struct Place
{
    QuestionKind kind = QuestionKind::TrueFalse;
    int chapter = 0;
    int topic = 0; // true/false categories only
};

// The names of a category path as Moodle reads it: split at each '/', a
// doubled '/' being one inside a name; each name without the spaces at its ends.
QStringList split(QStringView text);

// The place the path's last names give, or nullopt when they are none of
// the categories the export writes.
std::optional<Place> placeOf(QStringView categoryText);

} // namespace categoryPlace
