#pragma once
// One row of a topic's (true/false) or a chapter's (exposition) listing.

#include <QString>
#include <QtGlobal>

struct QuestionListing
{
    int position = 0;        // 1-based position within the topic or chapter
    qint32 recordNumber = 0; // 1-based record number in the bank file
    QString text;            // display text
    bool answer = false;     // true/false: whether "Sí" is correct

    bool operator==(const QuestionListing &) const = default;
};
