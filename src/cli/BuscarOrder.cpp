#include "BuscarOrder.h"

#include "BankKinds.h"
#include "BankSnapshot.h"
#include "ControlCharacters.h"
#include "QuestionSearch.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

int BuscarOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments, {QStringLiteral("--tipo")}, {QStringLiteral("--json")}, &parsed))
        return Failure;
    const QString words = parsed.positional.value(0);
    if (questionSearch::queryWords(words).isEmpty())
        return usageError(QStringLiteral("falta lo que hay que buscar."));
    const std::optional<QList<QuestionKind>> kinds = kindsFrom(parsed);
    if (!kinds)
        return Failure;
    QString folder;
    if (!folderFrom(parsed, 1, &folder))
        return Failure;

    QuestionSearch search;
    QStringList missing;
    for (const QuestionKind kind : std::as_const(*kinds)) {
        const BankSnapshot snapshot = BankSnapshot::read(folder, kind);
        if (!snapshot.ok()) {
            printError(QStringLiteral("%1: no se puede leer el banco: %2.\n")
                           .arg(kProgram, snapshot.error()));
            return Failure;
        }
        if (snapshot.entryName().isEmpty())
            missing.append(snapshot.fileName());
        // As the windows list them: by chapter and topic, in file order.
        QList<const SnapshotRecord *> listed;
        for (const SnapshotRecord &record : snapshot.records())
            if (record.listed())
                listed.append(&record);
        std::stable_sort(listed.begin(), listed.end(), [](auto *a, auto *b) {
            return std::pair(a->chapter, a->topic) < std::pair(b->chapter, b->topic);
        });
        for (const SnapshotRecord *record : std::as_const(listed))
            search.add(kind, record->chapter, kind == QuestionKind::TrueFalse ? record->topic : 0,
                       record->number, record->displayText());
    }

    // Nothing to search in: said, so that an empty answer is not taken for
    // questions that do not match.
    if (missing.size() == kinds->size()) {
        printError(QStringLiteral("%1: en la carpeta %2 %3: no hay preguntas en las que buscar.\n")
                       .arg(kProgram, folder,
                            missing.size() == 1
                                ? QStringLiteral("no está el fichero del banco %1").arg(missing[0])
                                : QStringLiteral("no hay ningún fichero del banco (%1)")
                                      .arg(missing.join(QStringLiteral(", ")))));
        return ProblemsFound;
    }
    const QList<qsizetype> found = search.find(words);
    if (parsed.flags.contains(QStringLiteral("--json"))) {
        QJsonArray results;
        for (const qsizetype i : found) {
            const SearchEntry &entry = search.entry(i);
            QJsonObject result{{QStringLiteral("tipo"), bankKinds::optionName(entry.kind)},
                               {QStringLiteral("capitulo"), entry.chapter},
                               {QStringLiteral("registro"), entry.recordNumber},
                               {QStringLiteral("texto"), entry.text}};
            if (entry.kind == QuestionKind::TrueFalse)
                result.insert(QStringLiteral("tema"), entry.topic);
            results.append(result);
        }
        write(QJsonDocument(results).toJson());
    } else {
        for (const qsizetype i : found) {
            const SearchEntry &entry = search.entry(i);
            QString where = QStringLiteral("%1, capítulo %2")
                                .arg(bankKinds::optionName(entry.kind))
                                .arg(entry.chapter);
            if (entry.kind == QuestionKind::TrueFalse)
                where += QStringLiteral(", tema %1").arg(entry.topic);
            print(QStringLiteral("%1, registro %2: %3\n")
                      .arg(where)
                      .arg(entry.recordNumber)
                      .arg(controlCharacters::escaped(entry.text)));
        }
    }
    return found.isEmpty() ? ProblemsFound : Success;
}
