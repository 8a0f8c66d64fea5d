#include "GradesReport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace gradesReport {

namespace {

QString field(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// One field of the grades: the CSV writes each as text, the workbook keeps
// counts and points as numbers.
struct Cell
{
    enum Kind
    {
        Text,
        Count,
        Points
    } kind = Text;
    QString text;
    double number = 0;
};

Cell text(const QString &value)
{
    return {Cell::Text, value, 0};
}

Cell count(int value)
{
    return {Cell::Count, {}, double(value)};
}

// The heading row first, then one row a sheet.
QList<QList<Cell>> rows(const MarkingResult &result, int questions, bool withNames)
{
    QList<Cell> header{text(QStringLiteral("dni"))};
    if (withNames)
        header << text(QStringLiteral("nombre"));
    for (const char *name : {"versión", "aciertos", "errores", "blancos", "dudosas", "puntos",
                             "nota", "fichero", "página"})
        header << text(QString::fromUtf8(name));
    for (int n = 1; n <= questions; ++n)
        header << text(QStringLiteral("r%1").arg(n));
    QList<QList<Cell>> rows{header};
    for (const MarkedSheet &sheet : result.sheets) {
        // A DNI not read surely is pending on its own, its digits read kept.
        const bool dniPending = sheet.dni.contains(u'?');
        QList<Cell> row{text(!dniPending ? sheet.dni
                             : sheet.dni.count(u'?') == sheet.dni.size()
                                 ? QStringLiteral("pendiente")
                                 : QStringLiteral("pendiente (%1)").arg(sheet.dni))};
        if (withNames)
            row << text(sheet.name);
        const auto points = [&sheet](double value) {
            return sheet.pointsPending() ? text(QStringLiteral("pendiente"))
                                         : Cell{Cell::Points, {}, value};
        };
        row << text(QString(QChar(u'A' + sheet.code.version))) << count(sheet.right)
            << count(sheet.wrong) << count(sheet.blank) << count(sheet.doubtful)
            << points(sheet.points) << points(sheet.grade) << text(sheet.file) << count(sheet.page);
        for (const QChar answer : sheet.answers)
            row << text(QString(answer));
        rows << row;
    }
    return rows;
}

} // namespace

QString decimal(double value)
{
    return QString::number(value, 'f', 2).replace(u'.', u',');
}

QByteArray csv(const MarkingResult &result, int questions, bool withNames)
{
    QString text;
    for (const QList<Cell> &row : rows(result, questions, withNames)) {
        QStringList fields;
        for (const Cell &cell : row)
            fields << (cell.kind == Cell::Text    ? field(cell.text)
                       : cell.kind == Cell::Count ? QString::number(qint64(cell.number))
                                                  : decimal(cell.number));
        text += fields.join(u';') + QStringLiteral("\r\n");
    }
    return kByteOrderMark.toByteArray() + text.toUtf8();
}

std::optional<QByteArray> xlsx(const MarkingResult &result, int questions, bool withNames,
                               QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // libxlsxwriter 1.1.4 (Debian 12) writes only to a named file.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/orvalis-notas-XXXXXX.xlsx"));
    if (!file.open())
        return fail(
            QStringLiteral("no se puede crear un fichero temporal: %1").arg(file.errorString()));
    lxw_workbook *book = workbook_new(QFile::encodeName(file.fileName()).constData());
    if (!book)
        return fail(QStringLiteral("no se puede componer el libro de notas"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Notas");
    lxw_format *heading = workbook_add_format(book);
    format_set_bold(heading);
    lxw_format *twoDecimals = workbook_add_format(book);
    format_set_num_format(twoDecimals, "0.00");
    lxw_error failed = LXW_NO_ERROR;
    const QList<QList<Cell>> table = rows(result, questions, withNames);
    for (int r = 0; r < table.size(); ++r) {
        for (int c = 0; c < table[r].size(); ++c) {
            const Cell &cell = table[r][c];
            const lxw_error written =
                cell.kind == Cell::Text
                    ? worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                             cell.text.toUtf8().constData(),
                                             r == 0 ? heading : nullptr)
                    : worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), cell.number,
                                             cell.kind == Cell::Points ? twoDecimals : nullptr);
            if (failed == LXW_NO_ERROR)
                failed = written;
        }
    }
    worksheet_set_column(sheet, 0, 0, 20, nullptr); // room for "pendiente (1234?678)"
    if (withNames)
        worksheet_set_column(sheet, 1, 1, 30, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    const lxw_error closed = workbook_close(book);
    if (failed == LXW_NO_ERROR)
        failed = closed;
    if (failed != LXW_NO_ERROR)
        return fail(QStringLiteral("no se puede componer el libro de notas (libxlsxwriter: %1)")
                        .arg(QString::fromUtf8(lxw_strerror(failed))));
    QFile written(file.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("no se puede leer el libro de notas compuesto: %1")
                        .arg(written.errorString()));
    return written.readAll();
}

std::optional<QByteArray> forFile(const QString &path, const MarkingResult &result, int questions,
                                  bool withNames, QString *error)
{
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return xlsx(result, questions, withNames, error);
    return csv(result, questions, withNames);
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
