#pragma once
// The grades of a marking as a spreadsheet opens them in Spain: as CSV (';'
// between fields, decimal comma, UTF-8 with a byte-order mark, one sheet a
// row in the scans' order), as an Excel workbook with the same columns and
// rows, and as JSON with the doubts, refusals and notes besides. The CSV and
// the workbook are two views of one list of rows, so they cannot drift.
//
// A CSV cannot keep a DNI's leading zero once a spreadsheet opens it: it
// reads "05995040" as the number 5995040. The workbook can: its DNI is text.

#include "SheetMarking.h"

#include <QByteArray>

#include <optional>

namespace gradesReport {

// "7,25": two decimals and a comma.
QString decimal(double value);

// UTF-8's byte-order mark.
inline constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

// The grades as CSV, a byte-order mark first so that a spreadsheet guessing
// the encoding reads "versión" and accented names right.
QByteArray csv(const MarkingResult &result, int questions, bool withNames);

// The grades as an .xlsx workbook (one sheet "Notas"): the DNI and every
// other text a text cell, counts numbers, points and grade numbers shown
// with two decimals, the heading row bold and frozen. nullopt, with the
// reason in Spanish in *error, when the workbook cannot be made.
std::optional<QByteArray> xlsx(const MarkingResult &result, int questions, bool withNames,
                               QString *error = nullptr);

// What "Guardar notas…" and `corregir --salida` write to `path`: the
// workbook for a name ending in ".xlsx" (in any case), the CSV otherwise.
// The bytes go to DurableFile::write; nullopt as xlsx() fails.
std::optional<QByteArray> forFile(const QString &path, const MarkingResult &result, int questions,
                                  bool withNames, QString *error = nullptr);

QByteArray json(const MarkingResult &result, const AnswerKey &key, double penalty);

} // namespace gradesReport
