#pragma once
// The teacher's class list for a marking: a small CSV of DNI and name (';'
// as a Spanish spreadsheet writes it, or ','), a heading line allowed. A DNI
// or NIE is read as the sheet's grid holds it: eight digits, an NIE's X, Y
// or Z as 0, 1 or 2 and the check letter dropped.

#include <QHash>
#include <QString>

#include <optional>

namespace studentList {

// "12345678", or empty when `text` is no DNI or NIE.
QString dniDigits(QString text);

// Names by DNI; nullopt with the reason (Spanish, "fichero:línea: …").
std::optional<QHash<QString, QString>> read(const QString &path, QString *error);

} // namespace studentList
