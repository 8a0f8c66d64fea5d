#pragma once
// What identifies one page of one answer sheet, carried in its QR code and
// printed beside it in the same words: "ORVL1-12-7F2A91C4-B-003-1/2" is
// layout 1, exam 12 of the history whose random identifier is 7F2A91C4,
// version B, sheet 3 of that version, page 1 of 2. The identifier tells
// exam 12 of this history from exam 12 of another bank's.

#include <QString>

#include <optional>

struct SheetCode
{
    int layout = 0;
    qint64 exam = 0;
    quint32 identifier = 0;
    int version = 0; // 0 for A
    int serial = 0;  // 1, 2, … within its version
    int page = 0;    // 0-based
    int pages = 1;

    QString text() const;
    // The sheet without its page: "12-7F2A91C4-B-003", how the teacher names
    // a sheet in a file of decisions.
    QString sheetName() const;
    // nullopt for anything that is not a code this program writes.
    static std::optional<SheetCode> parse(const QString &text);

    bool operator==(const SheetCode &) const = default;
};
