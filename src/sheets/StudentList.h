#pragma once
// The small CSV files a teacher gives a marking: the class list (DNI and
// name) and the decisions on doubtful marks. Fields are separated by ';' (a
// Spanish spreadsheet's) or ',', whichever comes first outside quotes; a
// heading line is allowed. A DNI or NIE is read as the sheet's grid holds
// it: eight digits, an NIE's X, Y or Z as 0, 1 or 2, the check letter
// dropped.

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace studentList {

// "12345678", or empty when `text` is no DNI or NIE.
QString dniDigits(QString text);

// The fields of one line; quoted fields may hold either separator, and ""
// for a quote.
QStringList csvFields(const QString &line);

// The lines of a file (UTF-8, a byte-order mark dropped); nullopt with the
// reason.
std::optional<QStringList> csvLines(const QString &path, QString *error);

// Names by DNI; nullopt with the reason ("fichero:línea: …").
std::optional<QHash<QString, QString>> read(const QString &path, QString *error);

} // namespace studentList
