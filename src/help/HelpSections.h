#pragma once
// The help texts, one section per window that opens help: the heading and the
// paragraphs in order, each line with the number of line breaks that follow
// it. The texts themselves are all in HelpSections.cpp. A line of the general
// section may hold one figure of the bank, written where "%1" stands;
// HelpText composes the sections into the text the help window shows.

#include <QStringView>
#include <QtGlobal>

#include <span>

enum class HelpFigure
{
    None,
    Total,      // every question of the four bank files
    Exposition, // conceptual, practical and brief together
    Conceptual,
    Practical,
    Brief,
    TrueFalse
};

struct HelpLine
{
    QStringView text;
    int breaks = 2;
    HelpFigure figure = HelpFigure::None;
    // The figure right-aligned in this many characters; 0 writes it as long as it is.
    int fieldWidth = 0;
};

namespace HelpSections {

// The section for an ActiveWindowCode (0 to 5); empty for any other code.
std::span<const HelpLine> section(qint16 code);
// The seven lines of the count table, which stand inside the general section.
std::span<const HelpLine> countTable();

} // namespace HelpSections
