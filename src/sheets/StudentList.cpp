#include "StudentList.h"

#include "SheetLayout.h"

#include <QFile>
#include <QRegularExpression>

namespace studentList {

// "12345678" from a DNI or NIE as a student writes it, the NIE's letter
// X, Y or Z as 0, 1 or 2 and the check letter dropped; empty when it is none.
QString dniDigits(QString text)
{
    text = text.toUpper().remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    static const QRegularExpression pattern(QStringLiteral("^([XYZ]?)([0-9]{1,8})[A-Z]?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    QString digits = match.captured(2);
    if (!match.captured(1).isEmpty())
        digits.prepend(QChar(u'0' + (match.captured(1)[0].unicode() - u'X')));
    return digits.size() > SheetLayout::kDniDigits ? QString() : digits.rightJustified(8, u'0');
}

// The fields of a line of a small CSV file of the teacher's, separated by
// ';' (a Spanish spreadsheet's) or ',', whichever comes first outside
// quotes; quoted fields may hold either, and "" for a quote.
QStringList csvFields(const QString &line)
{
    QStringList fields{QString()};
    QChar separator;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && quoted && i + 1 < line.size() && line[i + 1] == u'"') {
            fields.last() += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted &&
                   (c == separator || (separator.isNull() && (c == u';' || c == u',')))) {
            separator = c;
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    for (QString &field : fields)
        field = field.trimmed();
    return fields;
}

std::optional<QStringList> csvLines(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no se puede leer %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.read(16 * 1024 * 1024));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

std::optional<QHash<QString, QString>> read(const QString &path, QString *error)
{
    const std::optional<QStringList> lines = csvLines(path, error);
    if (!lines)
        return std::nullopt;
    QHash<QString, QString> students;
    for (qsizetype n = 0; n < lines->size(); ++n) {
        const QStringList fields = csvFields(lines->at(n));
        if (fields.join(QString()).isEmpty())
            continue;
        const QString dni = dniDigits(fields.value(0));
        if (dni.isEmpty() && n == 0)
            continue; // a heading
        if (dni.isEmpty() || fields.size() < 2) {
            *error = QStringLiteral("%1:%2: se esperaba «DNI;nombre»").arg(path).arg(n + 1);
            return std::nullopt;
        }
        students.insert(dni, fields.mid(1).join(QStringLiteral(" ")).simplified());
    }
    return students;
}

} // namespace studentList
