#include "BankCheck.h"

#include "BankKinds.h"
#include "ControlCharacters.h"
#include "CountedNoun.h"
#include "QuestionSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// "registro 4", "registros 4 y 9", "registros 4, 7 y 9".
QString recordList(const QList<qint32> &records)
{
    if (records.size() == 1)
        return QStringLiteral("registro %1").arg(records.first());
    QStringList numbers;
    for (const qint32 n : records)
        numbers.append(QString::number(n));
    const QString last = numbers.takeLast();
    return QStringLiteral("registros %1 y %2").arg(numbers.join(QStringLiteral(", ")), last);
}

QString quoted(const QString &text)
{
    constexpr int kShown = 60;
    if (text.size() <= kShown)
        return QStringLiteral("«%1»").arg(text);
    return QStringLiteral("«%1…»").arg(text.left(kShown));
}

// One of two near-duplicates, cut around where it differs from the other.
QString quotedBeside(const QString &text, const QString &other)
{
    constexpr int kShown = 60;
    return QStringLiteral("«%1»").arg(questionSearch::differenceExcerpt(text, other, kShown));
}

QString placeWord(const SnapshotRecord &record)
{
    if (record.topicNotInCatalogue)
        return QStringLiteral("temaFueraDelCatalogo");
    switch (record.leftOut) {
    case LeftOutReason::None:
        break;
    case LeftOutReason::ChapterOutOfRange:
        return QStringLiteral("capituloFueraDeRango");
    case LeftOutReason::TopicOutOfRange:
        return QStringLiteral("temaFueraDeRango");
    case LeftOutReason::RecordNumberTooLarge:
        return QStringLiteral("registroMayorQue32767");
    case LeftOutReason::TopicFull:
        return QStringLiteral("temaLleno");
    case LeftOutReason::ChapterFull:
        return QStringLiteral("capituloLleno");
    }
    return {};
}

BankProblem problem(const QString &kind, QList<qint32> records, const QString &message,
                    QVariantMap details = {})
{
    return BankProblem{kind, std::move(records), message, std::move(details)};
}

void checkRepeats(const BankSnapshot &snapshot, BankFileCheck &check)
{
    struct Group
    {
        qint16 chapter;
        qint16 topic;
        QString text;
        QList<qint32> records;
    };
    // In the order of each group's first record, so the report follows the file.
    QList<Group> groups;
    QHash<QString, qsizetype> groupOf;
    for (const SnapshotRecord &record : snapshot.records()) {
        const QString text = record.displayText();
        if (text.isEmpty())
            continue;
        const QString key = QStringLiteral("%1|%2|").arg(record.chapter).arg(record.topic) + text;
        const auto found = groupOf.constFind(key);
        if (found == groupOf.constEnd()) {
            groupOf.insert(key, groups.size());
            groups.append(Group{record.chapter, record.topic, text, {record.number}});
        } else {
            groups[*found].records.append(record.number);
        }
    }
    const bool trueFalse = snapshot.kind() == QuestionKind::TrueFalse;
    for (const Group &group : std::as_const(groups)) {
        if (group.records.size() < 2)
            continue;
        const QString where =
            trueFalse
                ? QStringLiteral("el capítulo %1, tema %2").arg(group.chapter).arg(group.topic)
                : QStringLiteral("el capítulo %1").arg(group.chapter);
        QVariantMap details{{QStringLiteral("capitulo"), group.chapter},
                            {QStringLiteral("texto"), group.text}};
        if (trueFalse)
            details.insert(QStringLiteral("tema"), group.topic);
        check.problems.append(
            problem(QStringLiteral("textoRepetido"), group.records,
                    QStringLiteral("%1: el mismo texto en %2: %3")
                        .arg(recordList(group.records), where, quoted(group.text)),
                    details));
    }
}

// Pairs of listed questions of one chapter that are near-duplicates (true/false
// questions of any topics of the chapter), but not the exact repeats under one
// place that checkRepeats() reports. Every pair is compared, but only the
// first kShownNearPairs are kept and described: a file of near-identical
// questions has a quarter of a million pairs to a chapter, and the rest are
// only counted.
void checkNearDuplicates(const BankSnapshot &snapshot, BankFileCheck &check)
{
    struct Question
    {
        const SnapshotRecord *record;
        QString text;
        QString normalized;
    };
    QHash<int, QList<Question>> byChapter;
    QList<int> chapters; // in the order of their first question
    for (const SnapshotRecord &record : snapshot.records()) {
        const QString text = record.displayText();
        if (!record.listed() || text.isEmpty())
            continue;
        if (!byChapter.contains(record.chapter))
            chapters.append(record.chapter);
        byChapter[record.chapter].append({&record, text, questionSearch::normalizedText(text)});
    }
    const bool trueFalse = snapshot.kind() == QuestionKind::TrueFalse;
    qint64 shown = 0;
    for (const int chapter : std::as_const(chapters)) {
        const QList<Question> &questions = byChapter[chapter];
        for (qsizetype i = 0; i < questions.size(); ++i) {
            for (qsizetype j = i + 1; j < questions.size(); ++j) {
                const Question &a = questions[i];
                const Question &b = questions[j];
                if ((a.text == b.text && a.record->topic == b.record->topic) ||
                    !questionSearch::nearDuplicates(a.normalized, b.normalized))
                    continue;
                if (++shown > BankFileCheck::kShownNearPairs) {
                    ++check.moreNearPairs;
                    continue;
                }
                const QList<qint32> records{a.record->number, b.record->number};
                QVariantMap details{{QStringLiteral("capitulo"), chapter},
                                    {QStringLiteral("textos"), QStringList{a.text, b.text}}};
                QString where = QStringLiteral("capítulo %1").arg(chapter);
                if (trueFalse) {
                    details.insert(QStringLiteral("temas"),
                                   QVariantList{a.record->topic, b.record->topic});
                    where += a.record->topic == b.record->topic
                                 ? QStringLiteral(", tema %1").arg(a.record->topic)
                                 : QStringLiteral(", temas %1 y %2")
                                       .arg(a.record->topic)
                                       .arg(b.record->topic);
                }
                check.problems.append(
                    problem(QStringLiteral("muyParecidas"), records,
                            QStringLiteral("%1: muy parecidas (%2): %3 y %4")
                                .arg(recordList(records), where, quotedBeside(a.text, b.text),
                                     quotedBeside(b.text, a.text)),
                            details));
            }
        }
    }
}

} // namespace

QString BankFileCheck::summary() const
{
    QString name = fileName;
    if (exists() && entryName != fileName)
        name += QStringLiteral(" (en disco, %1)").arg(entryName);
    if (!error.isEmpty())
        return QStringLiteral("%1: no se puede leer: %2").arg(name, error);
    if (!exists())
        return QStringLiteral("%1: no existe; el programa lo creará vacío").arg(name);
    return QStringLiteral("%1: %2 (%3)")
        .arg(name, counted(records, u"registro", u"registros"), counted(length, u"byte", u"bytes"));
}

BankFileCheck BankCheck::checkFile(const BankSnapshot &snapshot, bool nearDuplicates)
{
    BankFileCheck check;
    check.kind = snapshot.kind();
    check.fileName = snapshot.fileName();
    check.entryName = snapshot.entryName();
    check.error = snapshot.error();
    check.length = snapshot.length();
    check.records = qint32(snapshot.records().size());

    if (snapshot.variants().size() > 1) {
        check.problems.append(problem(
            QStringLiteral("variantesDelNombre"), {},
            QStringLiteral("hay %1 ficheros con este nombre escrito con distintas mayúsculas (%2); "
                           "el programa usa %3 y no ve los demás")
                .arg(snapshot.variants().size())
                .arg(snapshot.variants().join(QStringLiteral(", ")), snapshot.entryName()),
            {{QStringLiteral("nombres"), snapshot.variants()},
             {QStringLiteral("usado"), snapshot.entryName()}}));
    }
    if (!snapshot.ok())
        return check;

    if (snapshot.trailingBytes() > 0) {
        check.problems.append(
            problem(QStringLiteral("registroIncompleto"), {},
                    QStringLiteral("el fichero termina con un registro incompleto (%1); la próxima "
                                   "pregunta añadida lo sustituirá")
                        .arg(counted(snapshot.trailingBytes(), u"byte", u"bytes")),
                    {{QStringLiteral("bytes"), snapshot.trailingBytes()}}));
    }
    const bool trueFalse = snapshot.kind() == QuestionKind::TrueFalse;
    for (const SnapshotRecord &record : snapshot.records()) {
        if (!record.listed()) {
            QVariantMap details{{QStringLiteral("motivo"), placeWord(record)},
                                {QStringLiteral("capitulo"), record.chapter}};
            if (trueFalse)
                details.insert(QStringLiteral("tema"), record.topic);
            check.problems.append(
                problem(QStringLiteral("fueraDeLasListas"), {record.number},
                        QStringLiteral("registro %1: ninguna lista lo muestra: %2")
                            .arg(record.number)
                            .arg(record.whyNotListed()),
                        details));
        }
    }
    for (const SnapshotRecord &record : snapshot.records()) {
        if (trueFalse && record.answer != 0 && record.answer != 1)
            check.problems.append(problem(
                QStringLiteral("respuestaNoValida"), {record.number},
                QStringLiteral("registro %1: la respuesta es %2 y solo valen 0 (No) y 1 (Sí); el "
                               "programa la muestra como No")
                    .arg(record.number)
                    .arg(record.answer),
                {{QStringLiteral("respuesta"), record.answer}}));
    }
    for (const SnapshotRecord &record : snapshot.records()) {
        if (record.displayText().isEmpty())
            check.problems.append(
                problem(QStringLiteral("textoVacio"), {record.number},
                        QStringLiteral("registro %1: el texto está vacío").arg(record.number)));
    }
    for (const SnapshotRecord &record : snapshot.records()) {
        if (record.hasControlCharacter())
            check.problems.append(problem(
                QStringLiteral("caracteresDeControl"), {record.number},
                QStringLiteral("registro %1: el texto contiene caracteres de control (saltos de "
                               "línea, tabuladores u otros que no se ven)")
                    .arg(record.number)));
    }
    checkRepeats(snapshot, check);
    if (nearDuplicates)
        checkNearDuplicates(snapshot, check);
    return check;
}

BankCheck BankCheck::run(const QString &folder, bool nearDuplicates)
{
    BankCheck check;
    const QFileInfo info(folder);
    check.m_folder = info.absoluteFilePath();
    if (!info.isDir()) {
        check.m_folderError = info.exists()
                                  ? QStringLiteral("%1 no es una carpeta").arg(check.m_folder)
                                  : QStringLiteral("la carpeta %1 no existe").arg(check.m_folder);
        return check;
    }
    for (const QuestionKind kind : kQuestionKinds)
        check.m_files.append(checkFile(BankSnapshot::read(folder, kind), nearDuplicates));
    return check;
}

qint64 BankCheck::problemCount() const
{
    qint64 count = 0;
    for (const BankFileCheck &file : m_files)
        count += file.problems.size() + file.moreNearPairs;
    return count;
}

BankCheck::ExitStatus BankCheck::exitStatus() const
{
    if (!m_folderError.isEmpty())
        return CannotRead;
    for (const BankFileCheck &file : m_files) {
        if (!file.error.isEmpty())
            return CannotRead;
    }
    return problemCount() > 0 ? ProblemsFound : Clean;
}

QString BankCheck::toText() const
{
    if (!m_folderError.isEmpty())
        return QStringLiteral("no se puede comprobar el banco: %1.\n").arg(m_folderError);
    QString text = QStringLiteral("Banco de preguntas en %1\n\n").arg(m_folder);
    for (const BankFileCheck &file : m_files) {
        text += file.summary();
        if (file.problems.isEmpty() && file.error.isEmpty() && file.exists())
            text += QStringLiteral(", sin problemas");
        text += QLatin1Char('\n');
        for (const BankProblem &problem : file.problems)
            text += QStringLiteral("  - %1\n").arg(controlCharacters::escaped(problem.message));
        if (file.moreNearPairs > 0)
            text += QStringLiteral("  - … y %1 más\n")
                        .arg(counted(file.moreNearPairs, u"par de preguntas muy parecidas",
                                     u"pares de preguntas muy parecidas"));
    }
    text += QLatin1Char('\n');
    switch (exitStatus()) {
    case Clean:
        text += QStringLiteral("Resultado: el banco no tiene problemas.\n");
        break;
    case ProblemsFound:
        text += QStringLiteral("Resultado: %1.\n")
                    .arg(counted(problemCount(), u"problema", u"problemas"));
        break;
    case CannotRead:
        text += QStringLiteral("Resultado: no se han podido leer todos los ficheros.\n");
        break;
    }
    return text;
}

QByteArray BankCheck::toJson() const
{
    QJsonObject root{{QStringLiteral("carpeta"), m_folder},
                     {QStringLiteral("estado"), int(exitStatus())},
                     {QStringLiteral("totalDeProblemas"), problemCount()}};
    if (!m_folderError.isEmpty())
        root.insert(QStringLiteral("error"), m_folderError);
    QJsonArray files;
    for (const BankFileCheck &file : m_files) {
        QJsonObject entry{{QStringLiteral("fichero"), file.fileName},
                          {QStringLiteral("tipo"), bankKinds::optionName(file.kind)},
                          {QStringLiteral("existe"), file.exists()}};
        if (file.exists())
            entry.insert(QStringLiteral("enDisco"), file.entryName);
        if (!file.error.isEmpty()) {
            entry.insert(QStringLiteral("error"), file.error);
        } else {
            entry.insert(QStringLiteral("bytes"), file.length);
            entry.insert(QStringLiteral("registros"), file.records);
        }
        QJsonArray problems;
        for (const BankProblem &problem : file.problems) {
            QJsonObject item = QJsonObject::fromVariantMap(problem.details);
            item.insert(QStringLiteral("clase"), problem.kind);
            QJsonArray records;
            for (const qint32 n : problem.records)
                records.append(n);
            item.insert(QStringLiteral("registros"), records);
            item.insert(QStringLiteral("descripcion"), problem.message);
            problems.append(item);
        }
        entry.insert(QStringLiteral("problemas"), problems);
        if (file.moreNearPairs > 0)
            entry.insert(QStringLiteral("muyParecidasSinDetallar"), file.moreNearPairs);
        files.append(entry);
    }
    root.insert(QStringLiteral("ficheros"), files);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
