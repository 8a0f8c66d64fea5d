#include "ExamPdf.h"

#include "ExamVersions.h"
#include "ExamWording.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

namespace {

constexpr int kResolution = 1200; // dots per inch of the layout's units
constexpr qreal kMarginMillimetres = 20;
constexpr qreal kBodyPoints = 11;
constexpr qreal kTitlePoints = 13;
constexpr qreal kCoursePoints = 16;
constexpr qreal kBoxMillimetres = 4.2; // an answer box, big enough to mark with a pen
constexpr int kKeyColumns = 10;        // questions a row of a version's key
constexpr int kKeyGroup = 5;           // a heavier line after every five

const QString kYesBox = ExamWording::answerLabel(true);
const QString kNoBox = ExamWording::answerLabel(false);
const QString kEmptyBox = QStringLiteral("\u2610");  // ☐
const QString kFilledBox = QStringLiteral("\u2612"); // ☒
const QString kDash = QStringLiteral(" — ");

enum FontRole
{
    Body,
    Bold,
    Title,
    Course,
    Box,
    FontRoles
};

// A piece of text at a horizontal position of its line. An answer box is
// drawn as a square (filled for the marked answer) over its glyph, which is
// written invisibly so that the document's text still says ☐ or ☒ to a
// reader, a search or a copy.
struct Run
{
    qreal x = 0;
    QString text;
    FontRole font = Body;
    bool box = false;
};

// A stroke of a table, its ends relative to the line's top left.
struct Stroke
{
    QLineF line;
    bool heavy = false;
};

// One line of the page: its runs, or a rule to write an answer on, and the
// strokes of a table row.
struct Line
{
    qreal height = 0;
    qreal ascent = 0;
    QList<Run> runs;
    bool rule = false;
    qreal ruleFrom = 0;
    QList<Stroke> strokes;
};

// Lines kept together on one page when they fit on one.
using Block = QList<Line>;

struct PlacedLine
{
    const Line *line;
    qreal y;
};
using Page = QList<PlacedLine>;

class Layout
{
public:
    Layout(const QPdfWriter &writer, const ExamFormat &format)
        : m_format(format), m_width(writer.width()), m_height(writer.height())
    {
        // The serif of the text; the box glyphs are not in it, so they come
        // from DejaVu Sans, which has both.
        QFont body(QStringLiteral("Liberation Serif"));
        body.setStyleHint(QFont::Serif);
        body.setPointSizeF(kBodyPoints);
        m_fonts[Body] = body;
        m_fonts[Bold] = body;
        m_fonts[Bold].setBold(true);
        m_fonts[Title] = m_fonts[Bold];
        m_fonts[Title].setPointSizeF(kTitlePoints);
        m_fonts[Course] = m_fonts[Bold];
        m_fonts[Course].setPointSizeF(kCoursePoints);
        m_fonts[Box] = QFont(QStringLiteral("DejaVu Sans"));
        m_fonts[Box].setPointSizeF(kBodyPoints);
        for (int role = 0; role < FontRoles; ++role)
            m_metrics.emplace_back(m_fonts[role], &writer);
        m_numberWidth = width(Body, QStringLiteral("000."));
        m_gap = width(Body, QStringLiteral("  "));
        m_footerHeight = 2 * m_metrics[Body].lineSpacing();
        m_boxSide = kBoxMillimetres / 25.4 * writer.resolution();
    }

    const QFont &font(FontRole role) const { return m_fonts[role]; }
    const QFontMetricsF &metrics(FontRole role) const { return m_metrics[role]; }
    qreal pageWidth() const { return m_width; }
    qreal pageHeight() const { return m_height; }
    qreal boxSide() const { return m_boxSide; }

    // The blocks of one examination (or version of one, `version` naming
    // it): its header, then its questions.
    QList<Block> blocks(const ExamDescription &exam, const QString &version) const
    {
        QList<Block> blocks{header(exam, version)};
        if (exam.kind == ExamDescription::Kind::Exposition)
            addSections(blocks, exam);
        else
            addTrueFalse(blocks, exam);
        return blocks;
    }

    // The key of every version, with the seed that makes them: a table each,
    // ten questions a row ("12 Sí"), heavier lines between groups of five,
    // kept whole on a page (100 questions take ten rows).
    QList<Block> key(const QList<ExamDescription> &versions, quint32 seed) const
    {
        QList<Block> blocks{{textLine(Title, QStringLiteral("Claves de las versiones")),
                             textLine(Body, ExamWording::seedLine(seed))}};
        for (int v = 0; v < versions.size(); ++v)
            blocks.append(keyTable(v, versions.at(v)));
        return blocks;
    }

    // What every page of the exam says at its foot: the exam's title in
    // short (the course, shortened with "…" when long, and the kind of
    // paper), its version when there are several, and its number.
    QString footer(const QString &paper, const QString &version, int page, int pages) const
    {
        QString tail = kDash + paper;
        if (!version.isEmpty())
            tail += kDash + version;
        tail += kDash + QStringLiteral("Página %1 de %2").arg(page).arg(pages);
        const QFontMetricsF &metrics = m_metrics[Body];
        const qreal room = qMin(m_width * 0.45, m_width - metrics.horizontalAdvance(tail));
        return metrics.elidedText(m_format.course, Qt::ElideRight, room) + tail;
    }

    // The kind of paper, as the foot of its pages names it.
    static QString paper(const ExamDescription &exam)
    {
        switch (exam.kind) {
        case ExamDescription::Kind::TrueFalse:
            return QStringLiteral("Tipo test");
        case ExamDescription::Kind::AnswerTemplate:
            return QStringLiteral("Plantilla de respuestas");
        case ExamDescription::Kind::Exposition:
            break;
        }
        return QStringLiteral("Exposición");
    }

    // Fills pages from the top; a block that does not fit under what the page
    // already holds starts the next page, and only a block taller than a
    // whole page is cut.
    QList<Page> paginate(const QList<Block> &blocks) const
    {
        const qreal bottom = m_height - m_footerHeight;
        QList<Page> pages(1);
        qreal y = 0;
        for (const Block &block : blocks) {
            qreal height = 0;
            for (const Line &line : block)
                height += line.height;
            if (y + height > bottom && y > 0) {
                pages.append(Page());
                y = 0;
            }
            for (const Line &line : block) {
                if (y + line.height > bottom && y > 0) {
                    pages.append(Page());
                    y = 0;
                }
                pages.last().append({&line, y});
                y += line.height;
            }
        }
        return pages;
    }

private:
    qreal width(FontRole role, const QString &text) const
    {
        return m_metrics[role].horizontalAdvance(text);
    }

    Line line(FontRole role) const
    {
        Line line;
        line.height = m_metrics[role].lineSpacing();
        line.ascent = m_metrics[role].ascent();
        return line;
    }

    Line textLine(FontRole role, const QString &text, qreal x = 0) const
    {
        Line result = line(role);
        result.runs.append({x, text, role});
        return result;
    }

    // `text` wrapped to the page's width, a line each.
    QList<Line> textLines(FontRole role, const QString &text) const
    {
        QList<Line> lines;
        for (const QString &piece : wrap(text, m_width, role))
            lines.append(textLine(role, piece));
        return lines;
    }

    // Empty room of a fraction of a body line.
    Line space(qreal lines) const
    {
        Line result;
        result.height = lines * m_metrics[Body].lineSpacing();
        return result;
    }

    // The course stands on its own line above, so the title does not say it
    // again.
    static QString title(const ExamDescription &exam)
    {
        switch (exam.kind) {
        case ExamDescription::Kind::TrueFalse:
            return QStringLiteral("Examen — Preguntas tipo test");
        case ExamDescription::Kind::AnswerTemplate:
            return QStringLiteral("Plantilla de respuestas");
        case ExamDescription::Kind::Exposition:
            break;
        }
        return QStringLiteral("Examen — Preguntas de exposición");
    }

    // `label` followed by a line to write on, reaching `right`.
    QString fillIn(const QString &label, qreal right) const
    {
        const qreal underscore = width(Body, QStringLiteral("_"));
        const int count = qMax(10, int((right - width(Body, label)) / underscore));
        return label + QString(count, u'_');
    }

    Block header(const ExamDescription &exam, const QString &version) const
    {
        Block block;
        if (!m_format.institution.isEmpty())
            block += textLines(Body, m_format.institution);
        block += textLines(Course, m_format.course);
        block.append(space(0.5));
        // Room for a name and two surnames: the whole width.
        block.append(textLine(Body, fillIn(QStringLiteral("Nombre y apellidos: "), m_width)));
        if (m_format.dniLine || m_format.groupLine) {
            Line ids = line(Body);
            qreal x = 0;
            const qreal half = m_width / 2;
            if (m_format.dniLine) {
                ids.runs.append({x, fillIn(QStringLiteral("DNI: "), half - m_gap), Body});
                x = half;
            }
            if (m_format.groupLine)
                ids.runs.append({x, fillIn(QStringLiteral("Grupo: "), half - m_gap), Body});
            block.append(space(0.3));
            block.append(ids);
        }
        block.append(space(0.3));
        block.append(textLine(Body, QStringLiteral("Fecha: ") + (m_format.date.isEmpty()
                                                                     ? QStringLiteral("__________")
                                                                     : m_format.date)));
        block.append(space(0.5));
        if (!version.isEmpty())
            block.append(textLine(Title, version));
        block += textLines(Title, title(exam));
        if (!m_format.instructions.isEmpty()) {
            block.append(space(0.3));
            block += textLines(Body, m_format.instructions);
        }
        block.append(space(0.5));
        return block;
    }

    // A word's width, measured once a document: measuring shapes the word,
    // which was a third of laying out an exam, and the same words come back
    // in question after question.
    qreal wordWidth(FontRole role, const QString &word) const
    {
        QHash<QString, qreal> &known = m_wordWidths[role];
        if (const auto found = known.constFind(word); found != known.constEnd())
            return *found;
        const qreal measured = m_metrics[role].horizontalAdvance(word);
        known.insert(word, measured);
        return measured;
    }

    // `text` cut at blanks into lines no wider than `room`; a word wider than
    // the whole room is cut where it reaches the edge.
    QStringList wrap(const QString &text, qreal room, FontRole role = Body) const
    {
        const QFontMetricsF &metrics = m_metrics[role];
        const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
        QStringList lines;
        QString current;
        qreal currentWidth = 0;
        for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            qreal wordWidth = this->wordWidth(role, word);
            if (!current.isEmpty() && currentWidth + blank + wordWidth <= room) {
                current += QLatin1Char(' ') + word;
                currentWidth += blank + wordWidth;
                continue;
            }
            if (!current.isEmpty())
                lines.append(current);
            while (wordWidth > room && word.size() > 1) {
                qsizetype fit = word.size() - 1;
                while (fit > 1 && metrics.horizontalAdvance(word.left(fit)) > room)
                    --fit;
                lines.append(word.left(fit));
                word = word.mid(fit);
                wordWidth = metrics.horizontalAdvance(word);
            }
            current = word;
            currentWidth = wordWidth;
        }
        if (!current.isEmpty() || lines.isEmpty())
            lines.append(current);
        return lines;
    }

    // The number right-aligned in its column, then the text from `textX`
    // with its continuation lines under its first, which is tall enough for
    // the boxes among `between`.
    Block numbered(int number, const QString &text, qreal textX, const QList<Run> &between) const
    {
        Block block{space(0.4)};
        const QStringList pieces = wrap(text, m_width - textX);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            Line current = textLine(Body, pieces.at(i), textX);
            if (i == 0) {
                const QString label = QString::number(number) + QLatin1Char('.');
                current.runs.prepend({m_numberWidth - width(Body, label), label, Body});
                current.runs.append(between);
                if (!between.isEmpty()) {
                    // The box is centred on the middle of the capitals.
                    const qreal middle = m_metrics[Body].capHeight() / 2;
                    const qreal above = qMax(current.ascent, middle + m_boxSide * 0.6);
                    current.height += above - current.ascent;
                    current.ascent = above;
                    current.height = qMax(current.height, above + m_boxSide / 2 - middle +
                                                              m_metrics[Body].descent());
                }
            }
            block.append(current);
        }
        return block;
    }

    void addTrueFalse(QList<Block> &blocks, const ExamDescription &exam) const
    {
        const bool marked = exam.kind == ExamDescription::Kind::AnswerTemplate;
        const qreal blank = width(Body, QStringLiteral(" "));
        const qreal yesX = m_numberWidth + m_gap;
        const qreal yesBoxX = yesX + width(Body, kYesBox) + blank;
        const qreal noX = yesBoxX + m_boxSide + m_gap;
        const qreal noBoxX = noX + width(Body, kNoBox) + blank;
        const qreal textX = noBoxX + m_boxSide + m_gap;
        int number = 0;
        for (const ExamQuestion &question : exam.selection.of(QuestionKind::TrueFalse)) {
            const bool yes = question.answer;
            const QList<Run> boxes{
                {yesX, kYesBox, Body},
                {yesBoxX, marked && yes ? kFilledBox : kEmptyBox, Box, true},
                {noX, kNoBox, Body},
                {noBoxX, marked && !yes ? kFilledBox : kEmptyBox, Box, true},
            };
            blocks.append(numbered(++number, question.text, textX, boxes));
        }
    }

    void addSections(QList<Block> &blocks, const ExamDescription &exam) const
    {
        const qreal textX = m_numberWidth + m_gap;
        for (const QuestionKind kind :
             {QuestionKind::Conceptual, QuestionKind::Practical, QuestionKind::Brief}) {
            const QList<ExamQuestion> &questions = exam.selection.of(kind);
            for (qsizetype i = 0; i < questions.size(); ++i) {
                Block block = numbered(int(i + 1), questions.at(i).text, textX, {});
                // The heading stays with the section's first question.
                if (i == 0)
                    block = Block{space(0.6), textLine(Bold, ExamWording::sectionHeading(kind))} +
                            block;
                for (int rule = 0; rule < m_format.answerLines; ++rule) {
                    Line answer = space(1.6);
                    answer.rule = true;
                    answer.ruleFrom = textX;
                    block.append(answer);
                }
                blocks.append(block);
            }
        }
    }

    // One version's key: its heading, then rows of cells "12 Sí".
    Block keyTable(int version, const ExamDescription &exam) const
    {
        Block block{space(0.8), textLine(Bold, QStringLiteral("Versión ") +
                                                   ExamWording::versionLetter(version))};
        const qreal cell = m_width / kKeyColumns;
        const qreal rowHeight = 1.6 * m_metrics[Body].lineSpacing();
        const QList<ExamQuestion> &questions = exam.selection.of(QuestionKind::TrueFalse);
        const qsizetype count = questions.size();
        const qsizetype rows = (count + kKeyColumns - 1) / kKeyColumns;
        for (qsizetype row = 0; row < rows; ++row) {
            Line current;
            current.height = rowHeight;
            current.ascent = (rowHeight + m_metrics[Body].capHeight()) / 2;
            const qsizetype first = row * kKeyColumns;
            const int cells = int(qMin<qsizetype>(kKeyColumns, count - first));
            for (int c = 0; c < cells; ++c) {
                const QString text =
                    QStringLiteral("%1 %2")
                        .arg(first + c + 1)
                        .arg(ExamWording::answerLabel(questions.at(first + c).answer));
                current.runs.append({c * cell + (cell - width(Body, text)) / 2, text, Body});
            }
            // Left edges of the cells, and the right edge of the last.
            for (int c = 0; c <= cells; ++c)
                current.strokes.append(
                    {QLineF(c * cell, 0, c * cell, rowHeight), c % kKeyGroup == 0 || c == cells});
            const qreal right = cells * cell;
            current.strokes.append({QLineF(0, 0, right, 0), row % kKeyGroup == 0});
            if (row == rows - 1 || row % kKeyGroup == kKeyGroup - 1)
                current.strokes.append({QLineF(0, rowHeight, right, rowHeight), true});
            block.append(current);
        }
        return block;
    }

    ExamFormat m_format;
    QFont m_fonts[FontRoles];
    std::vector<QFontMetricsF> m_metrics;
    mutable QHash<QString, qreal> m_wordWidths[FontRoles];
    qreal m_width;
    qreal m_height;
    qreal m_numberWidth = 0;
    qreal m_gap = 0;
    qreal m_footerHeight = 0;
    qreal m_boxSide = 0;
};

void drawBox(QPainter &painter, const Layout &layout, const Run &run, qreal baseline)
{
    const qreal side = layout.boxSide();
    const QRectF square(run.x, baseline - layout.metrics(Body).capHeight() / 2 - side / 2, side,
                        side);
    const QPen pen = painter.pen();
    if (run.text == kFilledBox)
        painter.fillRect(square, Qt::black);
    painter.drawRect(square);
    painter.setPen(Qt::transparent);
    painter.drawText(QPointF(run.x, baseline), run.text);
    painter.setPen(pen);
}

void drawPage(QPainter &painter, const Layout &layout, const Page &page, const QString &footer,
              qreal fine)
{
    for (const PlacedLine &placed : page) {
        const Line &line = *placed.line;
        if (line.rule) {
            const qreal y = placed.y + line.height * 0.85;
            painter.drawLine(QPointF(line.ruleFrom, y), QPointF(layout.pageWidth(), y));
        }
        for (const Stroke &stroke : line.strokes) {
            QPen pen = painter.pen();
            painter.setPen(QPen(Qt::black, stroke.heavy ? 4 * fine : fine));
            painter.drawLine(stroke.line.translated(0, placed.y));
            painter.setPen(pen);
        }
        for (const Run &run : line.runs) {
            painter.setFont(layout.font(run.font));
            if (run.box)
                drawBox(painter, layout, run, placed.y + line.ascent);
            else
                painter.drawText(QPointF(run.x, placed.y + line.ascent), run.text);
        }
    }
    if (footer.isEmpty())
        return;
    painter.setFont(layout.font(Body));
    const QFontMetricsF &metrics = layout.metrics(Body);
    painter.drawText(QPointF((layout.pageWidth() - metrics.horizontalAdvance(footer)) / 2,
                             layout.pageHeight() - metrics.descent()),
                     footer);
}

} // namespace

namespace ExamPdf {

QByteArray write(const ExamDescription &exam, const ExamFormat &format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Orvalis"));
    writer.setTitle(QStringLiteral("Examen de ") + format.course);

    QPainter painter(&writer);
    const qreal fine = kResolution / 200.0; // answer lines about a third of a point
    painter.setPen(QPen(Qt::black, fine));
    const Layout layout(writer, format);
    // Each version starts a page (an odd one, when the format asks, so that
    // copies printed on both sides never share a sheet) and numbers its pages
    // on its own, so that every student's copy reads "Página 1 de N"; every
    // page names its version. A template's key of all versions follows on
    // pages of its own.
    const QList<ExamDescription> versions = ExamVersions::make(exam);
    int written = 0;
    const auto startPart = [&] {
        if (format.oddPageStarts && written % 2 == 1) {
            writer.newPage();
            painter.setFont(layout.font(Body));
            const QString blank = QStringLiteral("Página en blanco");
            painter.drawText(
                QPointF((layout.pageWidth() - layout.metrics(Body).horizontalAdvance(blank)) / 2,
                        layout.pageHeight() / 2),
                blank);
            ++written;
        }
    };
    const auto print = [&](const QList<Page> &pages, const QString &paper, const QString &version) {
        startPart();
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (written > 0)
                writer.newPage();
            ++written;
            drawPage(painter, layout, pages.at(p),
                     layout.footer(paper, version, int(p + 1), int(pages.size())), fine);
        }
    };
    const QString paper = Layout::paper(exam);
    for (int v = 0; v < versions.size(); ++v) {
        const QString version = versions.size() > 1
                                    ? QStringLiteral("Versión ") + ExamWording::versionLetter(v)
                                    : QString();
        print(layout.paginate(layout.blocks(versions.at(v), version.toUpper())), paper, version);
    }
    if (versions.size() > 1 && exam.kind == ExamDescription::Kind::AnswerTemplate)
        print(layout.paginate(layout.key(versions, exam.seed)), QStringLiteral("Claves"),
              QString());
    painter.end();
    return buffer.data();
}

} // namespace ExamPdf
