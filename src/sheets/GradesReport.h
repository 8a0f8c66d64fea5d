#pragma once
// The grades of a marking as a spreadsheet opens them in Spain (CSV: ';'
// between fields, decimal comma, UTF-8, one sheet a row in the scans'
// order) and as JSON with the doubts, refusals and notes besides.

#include "SheetMarking.h"

#include <QByteArray>

namespace gradesReport {

// "7,25": two decimals and a comma.
QString decimal(double value);

QByteArray csv(const MarkingResult &result, int questions, bool withNames);
QByteArray json(const MarkingResult &result, const AnswerKey &key, double penalty);

} // namespace gradesReport
