#include "SheetCode.h"

#include <QRegularExpression>

namespace {

constexpr int kMaxVersions = 4;
constexpr int kMaxSerial = 99999;
constexpr int kMaxPages = 9;

} // namespace

QString SheetCode::text() const
{
    return QStringLiteral("ORVL%1-%2-%3/%4").arg(layout).arg(sheetName()).arg(page + 1).arg(pages);
}

QString SheetCode::sheetName() const
{
    return QStringLiteral("%1-%2-%3-%4")
        .arg(exam)
        .arg(identifier, 8, 16, QLatin1Char('0'))
        .arg(QChar(u'A' + version))
        .arg(serial, 3, 10, QLatin1Char('0'))
        .toUpper();
}

std::optional<SheetCode> SheetCode::parse(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^ORVL([1-9])-([1-9][0-9]{0,17})-([0-9A-F]{8})-([A-D])-([0-9]{3,5})-([1-9])/([1-9])$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    SheetCode code;
    bool ok = false;
    code.layout = match.captured(1).toInt();
    code.exam = match.captured(2).toLongLong(&ok);
    code.identifier = match.captured(3).toUInt(nullptr, 16);
    code.version = match.captured(4)[0].unicode() - u'A';
    code.serial = match.captured(5).toInt();
    code.page = match.captured(6).toInt() - 1;
    code.pages = match.captured(7).toInt();
    if (!ok || code.serial < 1 || code.serial > kMaxSerial || code.page >= code.pages ||
        code.pages > kMaxPages || code.version >= kMaxVersions)
        return std::nullopt;
    return code;
}
