#include "CsvExport.h"

#include "BankKinds.h"
#include "ChapterTitles.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"

#include <QStringList>

namespace csvExport {

QString field(const QString &value)
{
    static const QString kSpecial = QStringLiteral(",\"\r\n");
    if (std::none_of(value.cbegin(), value.cend(), [](QChar c) { return kSpecial.contains(c); }))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray write(const QList<ExportQuestion> &questions)
{
    const QString lineEnd = QStringLiteral("\r\n");
    const auto row = [&lineEnd](const QStringList &values) {
        QStringList fields;
        for (const QString &value : values)
            fields.append(field(value));
        return fields.join(QLatin1Char(',')) + lineEnd;
    };
    const TopicCatalogue catalogue;
    QString text = row({QStringLiteral("tipo"), QStringLiteral("capítulo"),
                        QStringLiteral("título del capítulo"), QStringLiteral("tema"),
                        QStringLiteral("título del tema"), QStringLiteral("registro"),
                        QStringLiteral("respuesta"), QStringLiteral("texto")});
    for (const ExportQuestion &question : questions) {
        const bool trueFalse = question.kind == QuestionKind::TrueFalse;
        text += row({bankKinds::optionName(question.kind), QString::number(question.chapter),
                     ChapterTitles::title(question.chapter),
                     trueFalse ? QString::number(question.topic) : QString(),
                     trueFalse ? catalogue.topicTitle(question.chapter, question.topic) : QString(),
                     QString::number(question.record),
                     trueFalse ? TrueFalseBank::answerLabel(question.answer ? 1 : 0) : QString(),
                     question.text});
    }
    return text.toUtf8();
}

} // namespace csvExport
