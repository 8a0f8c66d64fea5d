#include "FiguresTable.h"

#include "Discrimination.h"

#include <QLocale>

namespace figuresTable {

QString decimal(const std::optional<double> &value)
{
    static const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    return value ? spanish.toString(*value, 'f', 2) : QStringLiteral("—");
}

bool negative(const QuestionFigures &question)
{
    return discrimination::clearlyNegative(question.sheets, question.discrimination);
}

Table table(const ExamFigures &figures, int pending)
{
    Table table;
    const bool any = figures.sheets > 0;
    table.exam = {
        {QStringLiteral("Hojas"), QString::number(figures.sheets)},
        {QStringLiteral("Pendientes de decidir"), QString::number(pending)},
        {QStringLiteral("Nota media"), decimal(any ? figures.mean : std::optional<double>())},
        {QStringLiteral("Mediana"), decimal(any ? figures.median : std::optional<double>())},
        {QStringLiteral("Desviación típica"), decimal(figures.deviation)},
        {QStringLiteral("Consistencia (KR-20)"), decimal(figures.kr20)}};
    QStringList bands;
    for (int band = 0; band < 10; ++band)
        bands << QStringLiteral("%1–%2: %3").arg(band).arg(band + 1).arg(figures.bands[band]);
    table.exam.append({QStringLiteral("Notas"), bands.join(QStringLiteral(" · "))});
    for (const QuestionFigures &question : figures.questions) {
        QString line = QStringLiteral("%1 % (%2 de %3) · discrimina %4")
                           .arg(std::lround(100.0 * question.facility))
                           .arg(question.right)
                           .arg(question.sheets)
                           .arg(decimal(question.discrimination));
        if (negative(question))
            line += QStringLiteral(" · ") + kNegativeNote;
        table.questions << line;
    }
    return table;
}

} // namespace figuresTable
