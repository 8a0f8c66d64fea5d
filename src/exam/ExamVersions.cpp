#include "ExamVersions.h"

namespace ExamVersions {

quint64 SplitMix64::next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

QList<qsizetype> shuffledOrder(qsizetype count, SplitMix64 &generator)
{
    QList<qsizetype> order(count);
    for (qsizetype i = 0; i < count; ++i)
        order[i] = i;
    for (qsizetype i = count - 1; i > 0; --i)
        std::swap(order[i], order[qsizetype(generator.next() % quint64(i + 1))]);
    return order;
}

QList<QList<qsizetype>> printedOrders(const ExamDescription &exam)
{
    const qsizetype total = exam.selection.all().size();
    QList<qsizetype> teachers(total);
    for (qsizetype i = 0; i < total; ++i)
        teachers[i] = i;
    QList<QList<qsizetype>> orders{teachers};
    SplitMix64 generator(exam.seed);
    for (int v = 1; v < qBound(1, exam.versions, kMaxVersions); ++v) {
        QList<qsizetype> order;
        order.reserve(total);
        qsizetype first = 0; // where the kind's questions start in all()
        for (const QuestionKind kind : kQuestionKinds) {
            const qsizetype count = exam.selection.count(kind);
            for (const qsizetype from : shuffledOrder(count, generator))
                order.append(first + from);
            first += count;
        }
        orders.append(order);
    }
    return orders;
}

QList<ExamDescription> make(const ExamDescription &exam)
{
    const QList<ExamQuestion> questions = exam.selection.all();
    QList<ExamDescription> versions;
    for (const QList<qsizetype> &order : printedOrders(exam)) {
        ExamDescription version = exam;
        version.versions = 1;
        version.selection.clear();
        for (const qsizetype from : order)
            version.selection.add(questions.at(from));
        versions.append(version);
    }
    return versions;
}

} // namespace ExamVersions
