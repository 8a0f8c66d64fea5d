#pragma once
// Where everything of an answer sheet is, in millimetres on an A4 page
// (210 × 297, origin at the top left): the four corner marks the reader
// straightens the page by, the QR code and its printed twin, the DNI grid
// and the Sí/No boxes of each question, page by page. The printer and the
// reader both ask this one class, so a sheet is read where it was drawn.
// The layout's version is carried in every sheet's code: a change of any
// position here is a new layout version, and the old one stays, so that
// sheets already printed are read where they were drawn.
//
// Layout 1: questions in four columns (76 on the first page, 116 on each
// further page), the name line on the first page only. Layout 2 (printed
// now): five narrower columns (100 on the first page, 140 on each further
// page) and the name line on every page. Both share the corner marks, the QR
// code, the title, the name line and the DNI grid: the reader finds a page
// and its code before it knows the layout.

#include <QList>
#include <QPointF>
#include <QRectF>

class SheetLayout
{
public:
    static constexpr int kLayoutVersion = 2; // the layout sheets are printed in
    static constexpr double kPageWidth = 210.0;
    static constexpr double kPageHeight = 297.0;
    // A corner mark is a black square with a white square inside it and a
    // black square inside that (10 : 6 : 3), unlike any pen mark.
    static constexpr double kMarkSize = 10.0;
    static constexpr double kMarkHole = 6.0;
    static constexpr double kMarkCore = 3.0;
    static constexpr double kBox = 5.0; // side of a Sí/No or DNI box
    static constexpr int kDniDigits = 8;

    // The questions on page `page` (0-based) of a sheet of `questions`.
    struct PageQuestions
    {
        int first = 0; // 0-based number of its first question
        int count = 0;
    };

    // `version` from 1 to kLayoutVersion.
    explicit SheetLayout(int questions, int version = kLayoutVersion);
    static bool isKnown(int version) { return version >= 1 && version <= kLayoutVersion; }

    int version() const { return m_version; }
    int questions() const { return m_questions; }
    int pages() const { return int(m_pages.size()); }
    PageQuestions pageQuestions(int page) const { return m_pages.value(page); }
    // The page and 0-based place on it of question `question` (0-based).
    int pageOf(int question) const;

    // Centres of the corner marks: top left, top right, bottom right, bottom left.
    static QList<QPointF> markCentres();
    static QRectF qrArea();       // where the QR code is drawn, its quiet zone outside
    static QRectF codeTextArea(); // the printed short code, under the QR code
    static QRectF titleArea();
    static QRectF versionArea();
    static QRectF nameArea();
    bool hasNameLine(int page) const { return page == 0 || m_version >= 2; }
    QRectF instructionArea(int page) const;
    // Under the instructions: that each student needs a sheet of their own
    // (layout 2 on).
    QRectF warningArea(int page) const;
    // Box of digit `digit` (0–9) in DNI column `column` (0–7); page 1 only.
    static QRectF dniBox(int column, int digit);
    static QRectF dniWriteBox(int column); // where the digit is written by hand
    // The Sí box (answer true) or the No box of question `question`.
    QRectF answerBox(int question, bool yes) const;
    QRectF numberArea(int question) const;
    // Top left of the column heading "Sí No" over column `column` of `page`.
    QRectF columnHeading(int page, int column) const;
    int rowsOn(int page) const;

private:
    double questionsTop(int page) const;
    int columns() const;
    double columnWidth() const;
    QPointF rowOrigin(int question) const;

    int m_questions = 0;
    int m_version = kLayoutVersion;
    QList<PageQuestions> m_pages;
};
