#include "ItemAnalysis.h"

#include "Marks.h"
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {
// Of a list never empty: analyse() returns before any list is.
double average(const QList<double> &values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / double(values.size());
}

// Pearson's correlation; empty when either side does not vary.
std::optional<double> correlation(const QList<double> &a, const QList<double> &b)
{
    const double meanA = average(a);
    const double meanB = average(b);
    double products = 0, squaresA = 0, squaresB = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        products += (a[i] - meanA) * (b[i] - meanB);
        squaresA += (a[i] - meanA) * (a[i] - meanA);
        squaresB += (b[i] - meanB) * (b[i] - meanB);
    }
    if (squaresA <= 0 || squaresB <= 0)
        return std::nullopt;
    return products / std::sqrt(squaresA * squaresB);
}

double grade(const QList<MarkOutcome> &sheet, double penalty)
{
    return marks::grade(marks::points(int(sheet.count(MarkOutcome::Right)),
                                      int(sheet.count(MarkOutcome::Wrong)), penalty),
                        int(sheet.size()));
}

QString decimal(double value, int decimals)
{
    static const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    return spanish.toString(value, 'f', decimals);
}
} // namespace

ExamFigures ItemAnalysis::analyse(const QList<QList<MarkOutcome>> &sheets, double penalty)
{
    ExamFigures exam;
    exam.sheets = int(sheets.size());
    if (sheets.isEmpty() || sheets.first().isEmpty())
        return exam;
    const qsizetype questions = sheets.first().size();

    QList<double> grades, totals;
    for (const QList<MarkOutcome> &sheet : sheets) {
        const double g = grade(sheet, penalty);
        grades << g;
        totals << double(sheet.count(MarkOutcome::Right));
        ++exam.bands[std::clamp(int(g), 0, 9)];
    }
    exam.mean = average(grades);
    QList<double> sorted = grades;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype middle = sorted.size() / 2;
    exam.median = sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    if (grades.size() > 1) {
        double squares = 0;
        for (double g : grades)
            squares += (g - exam.mean) * (g - exam.mean);
        exam.deviation = std::sqrt(squares / double(grades.size() - 1));
    }

    double itemVariances = 0;
    for (qsizetype q = 0; q < questions; ++q) {
        QuestionFigures figures;
        figures.sheets = exam.sheets;
        QList<double> item, rest;
        for (qsizetype s = 0; s < sheets.size(); ++s) {
            const double score = sheets[s][q] == MarkOutcome::Right ? 1 : 0;
            figures.right += int(score);
            item << score;
            rest << totals[s] - score;
        }
        figures.facility = double(figures.right) / double(figures.sheets);
        figures.discrimination = correlation(item, rest);
        itemVariances += figures.facility * (1 - figures.facility);
        exam.questions << figures;
    }

    // KR-20 takes the variance of the right-answer totals over the sheets
    // themselves (divided by their number), as the facilities' p·q are.
    const double meanTotal = average(totals);
    double totalVariance = 0;
    for (double t : totals)
        totalVariance += (t - meanTotal) * (t - meanTotal);
    totalVariance /= double(totals.size());
    if (questions > 1 && totalVariance > 0)
        exam.kr20 = double(questions) / double(questions - 1) * (1 - itemVariances / totalVariance);
    return exam;
}

ItemAnalysis::Pooled ItemAnalysis::pool(const QList<QuestionFigures> &perExam)
{
    Pooled pooled;
    double weighted = 0;
    int weights = 0;
    for (const QuestionFigures &figures : perExam) {
        if (figures.sheets == 0)
            continue;
        ++pooled.exams;
        pooled.sheets += figures.sheets;
        pooled.right += figures.right;
        if (figures.discrimination) {
            weighted += *figures.discrimination * figures.sheets;
            weights += figures.sheets;
        }
    }
    if (weights > 0)
        pooled.discrimination = weighted / weights;
    return pooled;
}

QString ItemAnalysis::summary(const Pooled &figures)
{
    if (figures.sheets == 0)
        return {};
    const long percent = std::lround(100.0 * figures.right / figures.sheets);
    QString text =
        QStringLiteral("Acertada por el %1 % (%2 %3, %4 %5)")
            .arg(percent)
            .arg(figures.exams)
            .arg(figures.exams == 1 ? QStringLiteral("examen") : QStringLiteral("exámenes"))
            .arg(figures.sheets)
            .arg(figures.sheets == 1 ? QStringLiteral("alumno") : QStringLiteral("alumnos"));
    if (figures.discrimination)
        text += QStringLiteral(" · discrimina ") + decimal(*figures.discrimination, 2);
    return text;
}
