#include "ExamPdf.h"

#include "ExamVersions.h"
#include "ExamWording.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
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

const QString kYesBox = ExamWording::answerLabel(true);
const QString kNoBox = ExamWording::answerLabel(false);
const QString kEmptyBox = QStringLiteral("\u2610");  // ☐
const QString kFilledBox = QStringLiteral("\u2612"); // ☒

enum FontRole
{
    Body,
    Bold,
    Title,
    Course,
    Box,
    FontRoles
};

// A piece of text at a horizontal position of its line.
struct Run
{
    qreal x = 0;
    QString text;
    FontRole font = Body;
};

// One line of the page: its runs, or a rule to write an answer on.
struct Line
{
    qreal height = 0;
    qreal ascent = 0;
    QList<Run> runs;
    bool rule = false;
    qreal ruleFrom = 0;
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
    }

    const QFont &font(FontRole role) const { return m_fonts[role]; }
    const QFontMetricsF &metrics(FontRole role) const { return m_metrics[role]; }
    qreal pageWidth() const { return m_width; }
    qreal pageHeight() const { return m_height; }

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

    // The compact key of every version, each wrapped to the page.
    QList<Block> key(const QList<ExamDescription> &versions) const
    {
        QList<Block> blocks{{space(1), textLine(Title, QStringLiteral("Claves de las versiones"))}};
        for (int v = 0; v < versions.size(); ++v) {
            Block block{space(0.4)};
            for (const QString &piece :
                 wrap(ExamWording::keyLine(v, versions.at(v).selection.of(QuestionKind::TrueFalse)),
                      m_width))
                block.append(textLine(Body, piece));
            blocks.append(block);
        }
        return blocks;
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

    // Empty room of a fraction of a body line.
    Line space(qreal lines) const
    {
        Line result;
        result.height = lines * m_metrics[Body].lineSpacing();
        return result;
    }

    QString title(const ExamDescription &exam) const
    {
        switch (exam.kind) {
        case ExamDescription::Kind::TrueFalse:
            return QStringLiteral("Examen de %1 — Preguntas tipo test").arg(m_format.course);
        case ExamDescription::Kind::AnswerTemplate:
            return QStringLiteral("Plantilla de respuestas");
        case ExamDescription::Kind::Exposition:
            break;
        }
        return QStringLiteral("Examen de %1 — Preguntas de exposición").arg(m_format.course);
    }

    Block header(const ExamDescription &exam, const QString &version) const
    {
        Block block;
        if (!m_format.institution.isEmpty())
            block.append(textLine(Body, m_format.institution));
        block.append(textLine(Course, m_format.course));
        block.append(space(0.5));
        block.append(textLine(Body, QStringLiteral("Nombre y apellidos: ____________________")));
        block.append(textLine(Body, QStringLiteral("Fecha: ") + (m_format.date.isEmpty()
                                                                     ? QStringLiteral("__________")
                                                                     : m_format.date)));
        block.append(space(0.5));
        if (!version.isEmpty())
            block.append(textLine(Title, version));
        block.append(textLine(Title, title(exam)));
        block.append(space(0.5));
        return block;
    }

    // `text` cut at blanks into lines no wider than `room`; a word wider than
    // the whole room is cut where it reaches the edge.
    QStringList wrap(const QString &text, qreal room) const
    {
        const QFontMetricsF &metrics = m_metrics[Body];
        const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
        QStringList lines;
        QString current;
        qreal currentWidth = 0;
        for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            qreal wordWidth = metrics.horizontalAdvance(word);
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
    // with its continuation lines under its first.
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
                current.height = qMax(current.height, m_metrics[Box].lineSpacing());
            }
            block.append(current);
        }
        return block;
    }

    void addTrueFalse(QList<Block> &blocks, const ExamDescription &exam) const
    {
        const bool marked = exam.kind == ExamDescription::Kind::AnswerTemplate;
        const qreal yesX = m_numberWidth + m_gap;
        const qreal yesBoxX = yesX + width(Body, kYesBox + QLatin1Char(' '));
        const qreal noX = yesBoxX + width(Box, kEmptyBox) + m_gap;
        const qreal noBoxX = noX + width(Body, kNoBox + QLatin1Char(' '));
        const qreal textX = noBoxX + width(Box, kEmptyBox) + m_gap;
        int number = 0;
        for (const ExamQuestion &question : exam.selection.of(QuestionKind::TrueFalse)) {
            const bool yes = question.answer;
            const QList<Run> boxes{
                {yesX, kYesBox, Body},
                {yesBoxX, marked && yes ? kFilledBox : kEmptyBox, Box},
                {noX, kNoBox, Body},
                {noBoxX, marked && !yes ? kFilledBox : kEmptyBox, Box},
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

    ExamFormat m_format;
    QFont m_fonts[FontRoles];
    std::vector<QFontMetricsF> m_metrics;
    qreal m_width;
    qreal m_height;
    qreal m_numberWidth = 0;
    qreal m_gap = 0;
    qreal m_footerHeight = 0;
};

void drawPage(QPainter &painter, const Layout &layout, const Page &page, const QString &footer)
{
    for (const PlacedLine &placed : page) {
        const Line &line = *placed.line;
        if (line.rule) {
            const qreal y = placed.y + line.height * 0.85;
            painter.drawLine(QPointF(line.ruleFrom, y), QPointF(layout.pageWidth(), y));
        }
        for (const Run &run : line.runs) {
            painter.setFont(layout.font(run.font));
            painter.drawText(QPointF(run.x, placed.y + line.ascent), run.text);
        }
    }
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
    painter.setPen(QPen(Qt::black, kResolution / 200.0)); // answer lines about a third of a point
    const Layout layout(writer, format);
    // Each version starts a page and numbers its pages on its own, so that
    // every student's copy reads "Página 1 de N"; a template's key of all
    // versions ends the last.
    const QList<ExamDescription> versions = ExamVersions::make(exam);
    bool firstPage = true;
    for (int v = 0; v < versions.size(); ++v) {
        QList<Block> blocks = layout.blocks(
            versions.at(v), versions.size() > 1 ? ExamWording::versionLine(v) : QString());
        if (versions.size() > 1 && v == versions.size() - 1 &&
            exam.kind == ExamDescription::Kind::AnswerTemplate)
            blocks += layout.key(versions);
        const QList<Page> pages = layout.paginate(blocks);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (!firstPage)
                writer.newPage();
            firstPage = false;
            drawPage(painter, layout, pages.at(p),
                     QStringLiteral("Página %1 de %2").arg(p + 1).arg(pages.size()));
        }
    }
    painter.end();
    return buffer.data();
}

} // namespace ExamPdf
