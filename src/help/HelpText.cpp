#include "HelpText.h"

#include "HelpSections.h"

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

qint64 figureOf(HelpFigure figure, const BankCounts &counts)
{
    switch (figure) {
    case HelpFigure::Total:
        return counts.total();
    case HelpFigure::Exposition:
        return counts.exposition();
    case HelpFigure::Conceptual:
        return counts.conceptual;
    case HelpFigure::Practical:
        return counts.practical;
    case HelpFigure::Brief:
        return counts.brief;
    case HelpFigure::TrueFalse:
        return counts.trueFalse;
    case HelpFigure::None:
        break;
    }
    return 0;
}

QString compose(std::span<const HelpLine> lines, const BankCounts &counts)
{
    QString text;
    for (const HelpLine &line : lines) {
        if (line.figure == HelpFigure::None)
            text += line.text;
        else
            text += line.text.toString().arg(HelpText::formatCount(figureOf(line.figure, counts)),
                                             line.fieldWidth);
        text += kLineBreak.repeated(line.breaks);
    }
    return text;
}

} // namespace

namespace HelpText {

QString formatCount(qint64 count)
{
    QString digits = QString::number(count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u'.');
    return digits;
}

QString composeCountTable(const BankCounts &counts)
{
    return compose(HelpSections::countTable(), counts);
}

QString composeHelpText(qint16 code, const BankCounts &counts)
{
    return compose(HelpSections::section(code), counts);
}

} // namespace HelpText
