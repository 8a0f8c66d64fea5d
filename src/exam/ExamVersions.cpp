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

namespace {

template <typename T> QList<T> shuffled(const QList<T> &items, SplitMix64 &generator)
{
    QList<T> result;
    result.reserve(items.size());
    for (const qsizetype from : shuffledOrder(items.size(), generator))
        result.append(items.at(from));
    return result;
}

} // namespace

QList<ExamDescription> make(const ExamDescription &exam)
{
    ExamDescription first = exam;
    first.versions = 1;
    QList<ExamDescription> versions{first};
    SplitMix64 generator(exam.seed);
    for (int v = 1; v < qBound(1, exam.versions, kMaxVersions); ++v) {
        ExamDescription version = first;
        version.questions = shuffled(first.questions, generator);
        for (QStringList &section : version.sections)
            section = shuffled(section, generator);
        versions.append(version);
    }
    return versions;
}

QString letter(int version)
{
    return QString(QChar(u'A' + version));
}

QString keyLine(int version, const ExamDescription &exam)
{
    QStringList answers;
    for (qsizetype i = 0; i < exam.questions.size(); ++i)
        answers.append(QStringLiteral("%1 %2").arg(i + 1).arg(
            exam.questions.at(i).answerLabel == u"Sí" ? QStringLiteral("Sí")
                                                      : QStringLiteral("No")));
    return QStringLiteral("Versión %1: ").arg(letter(version)) + answers.join(QStringLiteral(", "));
}

QString seedLine(quint32 seed)
{
    return QStringLiteral("Clave de barajado: %1").arg(seed);
}

} // namespace ExamVersions
