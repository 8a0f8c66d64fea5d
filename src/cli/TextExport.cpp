#include "TextExport.h"

#include "BankKinds.h"
#include "ExpositionRecord.h"
#include "TrueFalseRecord.h"

#include <QHash>

#include <algorithm>

namespace {

struct Line
{
    const SnapshotRecord *record;
    QString text;
};

QString header(const BankSnapshot &snapshot)
{
    const bool trueFalse = snapshot.kind() == QuestionKind::TrueFalse;
    return QStringLiteral("# %1: preguntas exportadas de %2 por orvalis-banco.\n"
                          "# Una pregunta por línea: %3\n")
        .arg(bankKinds::caption(snapshot.kind()), snapshot.fileName(),
             trueFalse ? QStringLiteral("capítulo|tema|respuesta (S = Sí, N = No)|texto")
                       : QStringLiteral("capítulo|texto"));
}

QString lineOf(const SnapshotRecord &record, bool trueFalse)
{
    if (trueFalse)
        return QStringLiteral("%1|%2|%3|%4")
            .arg(record.chapter)
            .arg(record.topic)
            .arg(record.answer == 1 ? QLatin1Char('S') : QLatin1Char('N'))
            .arg(record.textWithoutFill());
    return QStringLiteral("%1|%2").arg(record.chapter).arg(record.textWithoutFill());
}

QByteArray bytesOf(QuestionKind kind, const DemoQuestion &question)
{
    if (kind == QuestionKind::TrueFalse)
        return TrueFalseRecord{question.chapter, question.topic, question.text, question.answer}
            .toBytes()
            .value();
    return ExpositionRecord{question.chapter, question.text}
        .toBytes(questionKind::expositionKind(kind))
        .value();
}

QByteArray join(const QString &header, const QList<Line> &lines)
{
    QString text = header;
    for (const Line &line : lines)
        text += line.text + QLatin1Char('\n');
    return text.toUtf8();
}

} // namespace

namespace textExport {

Result write(const BankSnapshot &snapshot, int chapter)
{
    Result result;
    const bool trueFalse = snapshot.kind() == QuestionKind::TrueFalse;
    const auto skip = [&](const SnapshotRecord &record, const QString &reason) {
        result.skipped.append(ExportSkip{snapshot.fileName(), record.number, reason});
    };

    QList<Line> lines;
    for (const SnapshotRecord &record : snapshot.records()) {
        if (chapter != 0 && record.chapter != chapter)
            continue;
        if (!record.listed())
            skip(record, record.whyNotListed());
        else if (trueFalse && record.answer != 0 && record.answer != 1)
            skip(record, QStringLiteral("la respuesta es %1, que el formato texto no puede "
                                        "escribir (solo S o N)")
                             .arg(record.answer));
        else if (record.hasControlCharacter())
            // A line break would split the line, and a control character cannot
            // be imported.
            skip(record, QStringLiteral("el texto contiene caracteres de control, que el formato "
                                        "texto no puede escribir"));
        else
            lines.append(Line{&record, lineOf(record, trueFalse)});
    }

    // Read back as the import will, then compare with the file's bytes.
    const QString head = header(snapshot);
    const int firstLine = int(head.count(QLatin1Char('\n'))) + 1;
    const DemoSource source =
        DemoSource::parse(snapshot.kind(), snapshot.fileName(), join(head, lines));
    QHash<int, QString> problemOfLine;
    for (const DemoSourceProblem &problem : source.problems())
        problemOfLine.insert(problem.line, problem.message);
    QHash<int, const DemoQuestion *> questionOfLine;
    for (const DemoQuestion &question : source.questions())
        questionOfLine.insert(question.line, &question);

    QList<Line> kept;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = firstLine + int(i);
        const SnapshotRecord &record = *lines[i].record;
        if (const auto problem = problemOfLine.constFind(lineNumber);
            problem != problemOfLine.constEnd()) {
            skip(record, *problem);
        } else if (const DemoQuestion *question = questionOfLine.value(lineNumber);
                   !question ||
                   bytesOf(snapshot.kind(), *question) != snapshot.recordBytes(record.number)) {
            skip(record, QStringLiteral("el formato texto no lo devolvería tal como está"));
        } else {
            kept.append(lines[i]);
        }
    }
    std::sort(result.skipped.begin(), result.skipped.end(),
              [](const ExportSkip &a, const ExportSkip &b) { return a.record < b.record; });
    result.bytes = join(head, kept);
    result.questions = int(kept.size());
    return result;
}

} // namespace textExport
