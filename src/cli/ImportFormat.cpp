#include "ImportFormat.h"

#include "GiftImport.h"
#include "MoodleXmlImport.h"

#include <QRegularExpression>

namespace importFormat {

std::optional<ImportFormat> fromName(QStringView name)
{
    if (name == u"texto")
        return ImportFormat::Text;
    if (name == u"moodle-xml")
        return ImportFormat::MoodleXml;
    if (name == u"gift")
        return ImportFormat::Gift;
    return std::nullopt;
}

ImportFormat detect(QByteArrayView content)
{
    QByteArrayView head = content;
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    head = head.trimmed();
    if (head.startsWith("<?xml") || head.startsWith("<quiz"))
        return ImportFormat::MoodleXml;

    static const QRegularExpression textLine(QStringLiteral("^\\s*\\d{1,2}\\|"));
    static const QRegularExpression giftMark(
        QStringLiteral("^\\s*(::|\\$CATEGORY:)|\\{\\s*(T|F|TRUE|FALSE)?\\s*\\}|\\{\\s*[=~#]"));
    bool gift = false;
    for (const QString &line : QString::fromUtf8(content).split(u'\n')) {
        if (textLine.match(line).hasMatch())
            return ImportFormat::Text;
        gift = gift || giftMark.match(line).hasMatch();
    }
    return gift ? ImportFormat::Gift : ImportFormat::Text;
}

ImportedFile read(ImportFormat format, const QString &path, QByteArrayView content,
                  const ImportOptions &options)
{
    if (format == ImportFormat::MoodleXml)
        return moodleXmlImport::read(path, content, options);
    return giftImport::read(path, content, options);
}

} // namespace importFormat
