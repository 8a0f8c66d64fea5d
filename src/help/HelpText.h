#pragma once
// Composes the help window's text from the sections of HelpSections: the
// lines of the section in order, the bank's counts written into the figures
// of the general section, and every line break a CR LF.

#include "BankCounts.h"

#include <QString>

namespace HelpText {

// A count (not negative) with a dot between groups of three digits: "9", "1.327", "12.345".
QString formatCount(qint64 count);

// The seven lines of the general section's count table with the line breaks
// after each, every figure right-aligned in its field of five characters (a
// longer figure is written whole and pushes the line's end to the right).
QString composeCountTable(const BankCounts &counts);

// The text for an ActiveWindowCode; empty for a code outside 0 to 5.
QString composeHelpText(qint16 code, const BankCounts &counts);

} // namespace HelpText
