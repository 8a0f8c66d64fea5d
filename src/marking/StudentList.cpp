#include "StudentList.h"

#include "SheetLayout.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace studentList {

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

std::optional<QHash<QString, QString>> read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no se puede leer %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.read(16 * 1024 * 1024));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    QHash<QString, QString> students;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QChar separator = lines[n].contains(u';') ? u';' : u',';
        QStringList fields = lines[n].split(separator);
        for (QString &field : fields) {
            field = field.trimmed();
            if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
                field = field.mid(1, field.size() - 2)
                            .replace(QStringLiteral("\"\""), QStringLiteral("\""));
        }
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
