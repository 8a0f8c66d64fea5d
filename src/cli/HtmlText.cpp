#include "HtmlText.h"

#include <QSet>

#include <libxml/HTMLparser.h>

#include <memory>

namespace htmlText {

namespace {

// Elements that stand on lines of their own.
const QSet<QString> kBlocks = {
    QStringLiteral("address"),    QStringLiteral("article"), QStringLiteral("aside"),
    QStringLiteral("blockquote"), QStringLiteral("center"),  QStringLiteral("dd"),
    QStringLiteral("div"),        QStringLiteral("dl"),      QStringLiteral("dt"),
    QStringLiteral("figcaption"), QStringLiteral("figure"),  QStringLiteral("footer"),
    QStringLiteral("h1"),         QStringLiteral("h2"),      QStringLiteral("h3"),
    QStringLiteral("h4"),         QStringLiteral("h5"),      QStringLiteral("h6"),
    QStringLiteral("header"),     QStringLiteral("hr"),      QStringLiteral("li"),
    QStringLiteral("ol"),         QStringLiteral("p"),       QStringLiteral("pre"),
    QStringLiteral("section"),    QStringLiteral("table"),   QStringLiteral("tr"),
    QStringLiteral("ul")};

// Elements whose content is never shown as text.
const QSet<QString> kHidden = {QStringLiteral("head"), QStringLiteral("script"),
                               QStringLiteral("style"), QStringLiteral("template"),
                               QStringLiteral("title")};

const QSet<QString> kMedia = {
    QStringLiteral("audio"),  QStringLiteral("canvas"), QStringLiteral("embed"),
    QStringLiteral("iframe"), QStringLiteral("object"), QStringLiteral("source"),
    QStringLiteral("svg"),    QStringLiteral("track"),  QStringLiteral("video")};

const QString kHoldsTextOnly = QStringLiteral(", y el banco solo guarda texto");

bool isCollapsible(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The lines as they are laid out: white space waits until something is
// written after it on the same line, so that it never begins or ends one.
class Layout
{
public:
    void text(const QString &text, bool preformatted)
    {
        for (const QChar c : text) {
            if (preformatted && (c == u'\n' || c == u'\r')) {
                if (c == u'\n')
                    lineBreak();
            } else if (!preformatted && isCollapsible(c)) {
                m_space = true;
            } else {
                if (m_space && !m_line.isEmpty())
                    m_line += u' ';
                m_space = false;
                // Shown as a space, and kept even beside another.
                m_line += c == QChar(0xA0) ? QChar(u' ') : c;
            }
        }
    }
    void space() { m_space = true; }
    void lineBreak()
    {
        m_lines.append(m_line);
        m_line.clear();
        m_space = false;
    }
    // A block starts or ends: a new line unless one has just begun.
    void blockEdge()
    {
        if (!m_line.isEmpty())
            lineBreak();
        m_space = false;
    }
    QStringList lines()
    {
        blockEdge();
        QStringList shown;
        for (const QString &line : std::as_const(m_lines))
            if (!line.trimmed().isEmpty())
                shown.append(line);
        return shown;
    }

private:
    QStringList m_lines;
    QString m_line;
    bool m_space = false;
};

QString nameOf(const xmlNode *node)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(node->name)).toLower();
}

struct Walk
{
    Layout layout;
    QString refusal;

    void visit(const xmlNode *node, bool preformatted)
    {
        for (; node && refusal.isEmpty(); node = node->next) {
            switch (node->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                layout.text(QString::fromUtf8(reinterpret_cast<const char *>(node->content)),
                            preformatted);
                break;
            case XML_ELEMENT_NODE:
                element(node, preformatted);
                break;
            default: // comments, processing instructions
                break;
            }
        }
    }

    void element(const xmlNode *node, bool preformatted)
    {
        const QString name = nameOf(node);
        if (name == u"img") {
            refusal = QStringLiteral("la pregunta tiene una imagen") + kHoldsTextOnly;
            return;
        }
        if (kMedia.contains(name)) {
            refusal = QStringLiteral("la pregunta tiene un vídeo, un sonido u otro objeto "
                                     "incrustado (<%1>)")
                          .arg(name) +
                      kHoldsTextOnly;
            return;
        }
        if (name == u"math") {
            refusal = QStringLiteral("la pregunta tiene una ecuación (MathML)") + kHoldsTextOnly;
            return;
        }
        if (kHidden.contains(name))
            return;
        if (name == u"br") {
            layout.lineBreak();
            return;
        }
        const bool block = kBlocks.contains(name);
        if (block)
            layout.blockEdge();
        else if (name == u"td" || name == u"th")
            layout.space();
        visit(node->children, preformatted || name == u"pre");
        if (block)
            layout.blockEdge();
        else if (name == u"td" || name == u"th")
            layout.space();
    }
};

struct FreeDocument
{
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};

Result fromHtml(const QString &html)
{
    Result result;
    const QByteArray bytes = html.toUtf8();
    if (bytes.trimmed().isEmpty())
        return result;
    // Parsed as a fragment: no <html> or <body> made up around it, nothing
    // fetched, no complaint printed about tags a browser would also forgive.
    const std::unique_ptr<xmlDoc, FreeDocument> document(
        htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_NONET | HTML_PARSE_NOIMPLIED));
    if (!document) {
        result.refusal = QStringLiteral("el texto no se puede leer como HTML");
        return result;
    }
    Walk walk;
    walk.visit(document->children, false);
    if (!walk.refusal.isEmpty()) {
        result.refusal = walk.refusal;
        return result;
    }
    // A link or anything else pointing into Moodle's own files.
    if (html.contains(QLatin1String("@@PLUGINFILE@@"))) {
        result.refusal = QStringLiteral("la pregunta usa un fichero guardado en Moodle "
                                        "(@@PLUGINFILE@@)") +
                         kHoldsTextOnly;
        return result;
    }
    result.lines = walk.layout.lines();
    return result;
}

} // namespace

Result readable(const QString &text, Format format)
{
    switch (format) {
    case Format::Html:
        return fromHtml(text);
    case Format::MoodleAuto:
        // Its line ends show as breaks (a carriage return before one is
        // white space); everything else is HTML.
        return fromHtml(QString(text).replace(u'\n', QLatin1String("<br>")));
    case Format::Plain:
    case Format::Markdown:
        break;
    }
    Result result;
    // A line ends at a line feed, a carriage return or both.
    for (const QString &line : QString(text).replace(u'\r', u'\n').split(u'\n'))
        if (!line.trimmed().isEmpty())
            result.lines.append(line);
    return result;
}

} // namespace htmlText
