#include "ExamOdt.h"

#include "ExamVersions.h"
#include "ExamWording.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>

namespace {

constexpr int kKeyColumns = 10;
const QString kEmptyBox = QStringLiteral("\u2610");  // ☐
const QString kFilledBox = QStringLiteral("\u2612"); // ☒
const QString kFillIn = QString(40, u'_');

class Writer
{
public:
    Writer(QTextDocument &document, const ExamFormat &format)
        : m_cursor(&document), m_format(format)
    {
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPointSizeF(11);
        document.setDefaultFont(font);
        m_box.setFontFamilies({QStringLiteral("DejaVu Sans")});
    }

    void version(const ExamDescription &exam, const QString &heading, bool newPage)
    {
        paragraph(newPage);
        if (!m_format.institution.isEmpty()) {
            text(m_format.institution);
            paragraph();
        }
        text(m_format.course, bold(16));
        paragraph();
        text(QStringLiteral("Nombre y apellidos: ") + kFillIn + kFillIn);
        if (m_format.dniLine || m_format.groupLine) {
            paragraph();
            QStringList ids;
            if (m_format.dniLine)
                ids << QStringLiteral("DNI: ") + kFillIn;
            if (m_format.groupLine)
                ids << QStringLiteral("Grupo: ") + kFillIn.left(20);
            text(ids.join(QStringLiteral(" ")));
        }
        paragraph();
        text(QStringLiteral("Fecha: ") +
             (m_format.date.isEmpty() ? kFillIn.left(10) : m_format.date));
        if (!heading.isEmpty()) {
            paragraph();
            text(heading, bold(13));
        }
        paragraph();
        text(title(exam), bold(13));
        if (!m_format.instructions.isEmpty()) {
            paragraph();
            text(m_format.instructions);
        }
        if (exam.kind == ExamDescription::Kind::Exposition)
            sections(exam);
        else
            trueFalse(exam);
    }

    void key(const QList<ExamDescription> &versions, quint32 seed)
    {
        paragraph(true);
        text(QStringLiteral("Claves de las versiones"), bold(13));
        paragraph();
        text(ExamWording::seedLine(seed));
        for (int v = 0; v < versions.size(); ++v) {
            paragraph();
            text(QStringLiteral("Versión ") + ExamWording::versionLetter(v), bold(11));
            const QList<ExamQuestion> &questions =
                versions.at(v).selection.of(QuestionKind::TrueFalse);
            const int rows = int((questions.size() + kKeyColumns - 1) / kKeyColumns);
            if (rows == 0)
                continue;
            QTextTableFormat table;
            table.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            table.setBorder(0.5);
            table.setCellPadding(3);
            table.setCellSpacing(0);
            table.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            QTextTable *grid = m_cursor.insertTable(rows, kKeyColumns, table);
            for (qsizetype i = 0; i < questions.size(); ++i) {
                QTextCursor cell =
                    grid->cellAt(int(i / kKeyColumns), int(i % kKeyColumns)).firstCursorPosition();
                cell.insertText(QStringLiteral("%1 %2").arg(i + 1).arg(
                    ExamWording::answerLabel(questions.at(i).answer)));
            }
            m_cursor.movePosition(QTextCursor::End);
        }
    }

private:
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

    static QTextCharFormat bold(qreal points)
    {
        QTextCharFormat format;
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(points);
        return format;
    }

    // A new paragraph (the document's first one is there already); a
    // version after the first starts a page.
    void paragraph(bool newPage = false, qreal hangingIndent = 0)
    {
        QTextBlockFormat format;
        if (newPage && m_started)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (hangingIndent > 0) {
            format.setLeftMargin(hangingIndent);
            format.setTextIndent(-hangingIndent);
        }
        format.setTopMargin(4);
        if (m_started)
            m_cursor.insertBlock(format, QTextCharFormat());
        else
            m_cursor.setBlockFormat(format);
        m_started = true;
    }

    void text(const QString &text, const QTextCharFormat &format = QTextCharFormat())
    {
        m_cursor.insertText(text, format);
    }

    void trueFalse(const ExamDescription &exam)
    {
        const bool marked = exam.kind == ExamDescription::Kind::AnswerTemplate;
        const QList<ExamQuestion> &questions = exam.selection.of(QuestionKind::TrueFalse);
        for (qsizetype i = 0; i < questions.size(); ++i) {
            const ExamQuestion &question = questions.at(i);
            const bool yes = question.answer;
            paragraph(false, 110);
            text(QStringLiteral("%1. %2 ").arg(i + 1).arg(ExamWording::answerLabel(true)));
            text(marked && yes ? kFilledBox : kEmptyBox, m_box);
            text(QStringLiteral(" %1 ").arg(ExamWording::answerLabel(false)));
            text(marked && !yes ? kFilledBox : kEmptyBox, m_box);
            // One blank: Qt writes a run of them as an element that it sets on
            // a line of its own, which some readers take for a line break.
            text(QStringLiteral(" ") + question.text);
        }
    }

    void sections(const ExamDescription &exam)
    {
        for (const QuestionKind kind :
             {QuestionKind::Conceptual, QuestionKind::Practical, QuestionKind::Brief}) {
            const QList<ExamQuestion> &questions = exam.selection.of(kind);
            if (questions.isEmpty())
                continue;
            paragraph();
            text(ExamWording::sectionHeading(kind), bold(11));
            for (qsizetype i = 0; i < questions.size(); ++i) {
                paragraph(false, 25);
                text(QStringLiteral("%1. ").arg(i + 1) + questions.at(i).text);
                for (int rule = 0; rule < m_format.answerLines; ++rule) {
                    paragraph();
                    text(kFillIn + kFillIn);
                }
            }
        }
    }

    QTextCursor m_cursor;
    ExamFormat m_format;
    QTextCharFormat m_box;
    bool m_started = false;
};

} // namespace

namespace ExamOdt {

QByteArray write(const ExamDescription &exam, const ExamFormat &format)
{
    QTextDocument document;
    Writer writer(document, format);
    const QList<ExamDescription> versions = ExamVersions::make(exam);
    for (int v = 0; v < versions.size(); ++v)
        writer.version(versions.at(v),
                       versions.size() > 1 ? ExamWording::versionLine(v) : QString(), v > 0);
    if (versions.size() > 1 && exam.kind == ExamDescription::Kind::AnswerTemplate)
        writer.key(versions, exam.seed);
    QBuffer buffer; // opened by the writer
    QTextDocumentWriter odt(&buffer, "odf");
    if (!odt.write(&document))
        return {};
    return buffer.data();
}

} // namespace ExamOdt
