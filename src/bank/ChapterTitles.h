#pragma once
// The 22 entries of every chapter list: the chapter number right-aligned in
// two characters, ". " and the title (" 4. La demanda", "11. Decisiones sobre
// el precio"). A chapter's number is its position in the list + 1; the number
// in the text is for display only.

#include <QString>
#include <QStringList>

class ChapterTitles
{
public:
    static constexpr int kCount = 22;

    // All 22 entries, chapter 1 first.
    static QStringList entries();
    // The entry of chapter 1-22; empty outside.
    static QString entry(int chapter);
    // The bare title of chapter 1-22, without the number; empty outside.
    static QString title(int chapter);
};
