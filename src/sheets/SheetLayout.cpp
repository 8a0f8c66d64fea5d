#include "SheetLayout.h"

namespace {

constexpr double kMarkInset = 12.0; // page edge to a mark's centre
constexpr double kRowPitch = 7.0;   // 2 mm between boxes: the reader seeks each box 1.3 mm around
constexpr double kColumnLeft = 18.0;
constexpr double kNumberWidth = 10.0;
constexpr double kYesOffset = 13.0; // column left to the Sí box
constexpr double kNoOffset = 24.0;  // column left to the No box
constexpr double kQuestionsBottom = 276.0;
constexpr double kDniLeft = 122.0;
constexpr double kDniTop = 70.0;
constexpr double kDniPitchX = 8.0;
constexpr double kDniPitchY = 5.6;

} // namespace

SheetLayout::SheetLayout(int questions, int version) : m_questions(questions), m_version(version)
{
    int first = 0;
    for (int page = 0; first < questions || page == 0; ++page) {
        const int capacity = rowsOn(page) * columns();
        const int count = std::min(capacity, questions - first);
        m_pages.append({first, count});
        first += count;
    }
}

double SheetLayout::questionsTop(int page) const
{
    // Layout 2 starts the questions just under the DNI grid's headings and,
    // on further pages, under the name line and the instructions.
    if (m_version >= 2)
        return page == 0 ? 132.0 : 76.0;
    return page == 0 ? 138.0 : 70.0;
}

int SheetLayout::columns() const
{
    return m_version >= 2 ? 5 : 4;
}

double SheetLayout::columnWidth() const
{
    // Five columns of 36 mm still leave 7 mm between a No box and the next
    // column's number.
    return m_version >= 2 ? 36.0 : 46.0;
}

int SheetLayout::rowsOn(int page) const
{
    return int((kQuestionsBottom - questionsTop(page)) / kRowPitch);
}

int SheetLayout::pageOf(int question) const
{
    for (int page = 0; page < pages(); ++page)
        if (question < m_pages[page].first + m_pages[page].count)
            return page;
    return pages() - 1;
}

QPointF SheetLayout::rowOrigin(int question) const
{
    const int page = pageOf(question);
    const int place = question - m_pages[page].first;
    const int rows = rowsOn(page);
    // Down the first column, then the next: numbers read top to bottom.
    return {kColumnLeft + (place / rows) * columnWidth(),
            questionsTop(page) + (place % rows) * kRowPitch};
}

QList<QPointF> SheetLayout::markCentres()
{
    return {{kMarkInset, kMarkInset},
            {kPageWidth - kMarkInset, kMarkInset},
            {kPageWidth - kMarkInset, kPageHeight - kMarkInset},
            {kMarkInset, kPageHeight - kMarkInset}};
}

QRectF SheetLayout::qrArea()
{
    return {164.0, 24.0, 26.0, 26.0};
}

QRectF SheetLayout::codeTextArea()
{
    return {138.0, 52.0, 54.0, 5.0};
}

QRectF SheetLayout::titleArea()
{
    return {24.0, 20.0, 112.0, 16.0};
}

QRectF SheetLayout::versionArea()
{
    return {138.0, 20.0, 24.0, 30.0};
}

QRectF SheetLayout::nameArea()
{
    return {24.0, 40.0, 110.0, 10.0};
}

QRectF SheetLayout::instructionArea(int page) const
{
    // Beside the DNI grid on the first page; on the others under the title
    // (layout 1) or under the name line (layout 2).
    if (m_version >= 2)
        return page == 0 ? QRectF(24.0, 74.0, 92.0, 18.0) : QRectF(24.0, 52.0, 110.0, 12.0);
    return page == 0 ? QRectF(24.0, 74.0, 92.0, 24.0) : QRectF(24.0, 40.0, 110.0, 20.0);
}

QRectF SheetLayout::warningArea(int page) const
{
    if (m_version < 2)
        return {};
    const QRectF above = instructionArea(page);
    return {above.left(), above.bottom() + 0.5, above.width(), 4.5};
}

QRectF SheetLayout::dniBox(int column, int digit)
{
    return {kDniLeft + column * kDniPitchX, kDniTop + digit * kDniPitchY, kBox, kBox};
}

QRectF SheetLayout::dniWriteBox(int column)
{
    return {kDniLeft + column * kDniPitchX - 0.5, kDniTop - 8.0, kBox + 1.0, 7.0};
}

QRectF SheetLayout::answerBox(int question, bool yes) const
{
    const QPointF origin = rowOrigin(question);
    return {origin.x() + (yes ? kYesOffset : kNoOffset), origin.y(), kBox, kBox};
}

QRectF SheetLayout::numberArea(int question) const
{
    const QPointF origin = rowOrigin(question);
    return {origin.x(), origin.y(), kNumberWidth, kBox};
}

QRectF SheetLayout::columnHeading(int page, int column) const
{
    return {kColumnLeft + column * columnWidth() + kYesOffset - 2.0, questionsTop(page) - 6.0,
            kNoOffset - kYesOffset + kBox + 4.0, 5.0};
}
