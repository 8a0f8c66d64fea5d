#include "GradesReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gradesReport {

namespace {

QString field(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString decimal(double value)
{
    return QString::number(value, 'f', 2).replace(u'.', u',');
}

QByteArray csv(const MarkingResult &result, int questions, bool withNames)
{
    QStringList header{QStringLiteral("dni")};
    if (withNames)
        header << QStringLiteral("nombre");
    header << QStringLiteral("versión") << QStringLiteral("aciertos") << QStringLiteral("errores")
           << QStringLiteral("blancos") << QStringLiteral("dudosas") << QStringLiteral("puntos")
           << QStringLiteral("nota") << QStringLiteral("fichero") << QStringLiteral("página");
    for (int n = 1; n <= questions; ++n)
        header << QStringLiteral("r%1").arg(n);
    QString text = header.join(u';') + QStringLiteral("\r\n");
    for (const MarkedSheet &sheet : result.sheets) {
        // A DNI not read surely is pending on its own, its digits read kept.
        const bool dniPending = sheet.dni.contains(u'?');
        QStringList row{!dniPending ? field(sheet.dni)
                        : sheet.dni.count(u'?') == sheet.dni.size()
                            ? QStringLiteral("pendiente")
                            : QStringLiteral("pendiente (%1)").arg(sheet.dni)};
        if (withNames)
            row << field(sheet.name);
        const QString pending = QStringLiteral("pendiente");
        row << QString(QChar(u'A' + sheet.code.version)) << QString::number(sheet.right)
            << QString::number(sheet.wrong) << QString::number(sheet.blank)
            << QString::number(sheet.doubtful)
            << (sheet.pointsPending() ? pending : decimal(sheet.points))
            << (sheet.pointsPending() ? pending : decimal(sheet.grade)) << field(sheet.file)
            << QString::number(sheet.page);
        for (const QChar answer : sheet.answers)
            row << QString(answer);
        text += row.join(u';') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray json(const MarkingResult &result, const AnswerKey &key, double penalty)
{
    QJsonArray sheets, doubts, refusals;
    for (const MarkedSheet &sheet : result.sheets)
        sheets.append(
            QJsonObject{{QStringLiteral("hoja"), sheet.code.sheetName()},
                        {QStringLiteral("dni"), sheet.dni},
                        {QStringLiteral("nombre"), sheet.name},
                        {QStringLiteral("version"), QString(QChar(u'A' + sheet.code.version))},
                        {QStringLiteral("aciertos"), sheet.right},
                        {QStringLiteral("errores"), sheet.wrong},
                        {QStringLiteral("blancos"), sheet.blank},
                        {QStringLiteral("dudosas"), sheet.doubtful},
                        {QStringLiteral("pendiente"), sheet.pending},
                        {QStringLiteral("puntos"),
                         sheet.pointsPending() ? QJsonValue() : QJsonValue(sheet.points)},
                        {QStringLiteral("nota"),
                         sheet.pointsPending() ? QJsonValue() : QJsonValue(sheet.grade)},
                        {QStringLiteral("fichero"), sheet.file},
                        {QStringLiteral("pagina"), sheet.page},
                        {QStringLiteral("respuestas"), sheet.answers}});
    for (const Doubt &doubt : result.doubts)
        doubts.append(QJsonObject{{QStringLiteral("fichero"), doubt.file},
                                  {QStringLiteral("pagina"), doubt.page},
                                  {QStringLiteral("hoja"), doubt.sheet},
                                  {QStringLiteral("pagina_hoja"), doubt.sheetPage},
                                  {QStringLiteral("pregunta"), doubt.item}});
    for (const Refusal &refusal : result.refusals)
        refusals.append(QJsonObject{{QStringLiteral("fichero"), refusal.file},
                                    {QStringLiteral("pagina"), refusal.page},
                                    {QStringLiteral("motivo"), refusal.reason}});
    const QJsonObject root{{QStringLiteral("examen"), key.exam},
                           {QStringLiteral("titulo"), key.title},
                           {QStringLiteral("preguntas"), key.questions()},
                           {QStringLiteral("penalizacion"), penalty},
                           {QStringLiteral("hojas"), sheets},
                           {QStringLiteral("dudosas"), doubts},
                           {QStringLiteral("rechazadas"), refusals},
                           {QStringLiteral("avisos"), QJsonArray::fromStringList(result.notes)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace gradesReport
