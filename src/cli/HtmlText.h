#pragma once
// The text of a question as a Moodle question file carries it, in one of
// Moodle's text formats, made into the plain lines a teacher reads on the
// screen. HTML is parsed by libxml2's HTML parser (forgiving, as browsers
// are, and with every named entity); what it yields is laid out here: tags
// dropped, paragraphs, list items and other blocks on lines of their own,
// <br> a line break, runs of white space shown as one space (a non-breaking
// space is a space that never merges), <pre> as typed. A text that shows
// something the bank cannot hold (an image, a video or sound, a MathML
// equation, a file of Moodle's) is refused with the reason. TeX typed as
// $$…$$ or \(…\) and Moodle's [[…]] are text and stay as typed.

#include <QString>
#include <QStringList>

namespace htmlText {

enum class Format
{
    Html,       // Moodle XML's format="html", GIFT's [html]
    MoodleAuto, // format="moodle_auto_format", GIFT's [moodle]: HTML whose line ends are breaks
    Plain,      // format="plain_text", GIFT's [plain]: shown as typed
    Markdown    // shown as typed here: its marks are characters the teacher wrote
};

struct Result
{
    QStringList lines; // empty lines between paragraphs are dropped
    QString refusal;   // Spanish, after "fichero:línea: "; empty when readable

    bool ok() const { return refusal.isEmpty(); }
};

Result readable(const QString &text, Format format);

} // namespace htmlText
