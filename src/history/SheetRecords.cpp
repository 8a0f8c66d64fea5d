#include "SheetRecords.h"

#include "BoundQuery.h"

#include <QSqlError>
#include <QVariant>

namespace sheetRecords {

using boundQuery::run;

bool addTables(QSqlQuery &query)
{
    for (const char *sql :
         {"ALTER TABLE exam ADD COLUMN identifier INTEGER",
          "UPDATE exam SET identifier = random() & 4294967295 WHERE identifier IS NULL",
          "CREATE TRIGGER exam_identifier AFTER INSERT ON exam FOR EACH ROW WHEN "
          "NEW.identifier IS NULL BEGIN UPDATE exam SET identifier = random() & 4294967295 "
          "WHERE id = NEW.id; END",
          "CREATE TABLE sheet (id INTEGER PRIMARY KEY, exam_id INTEGER NOT NULL REFERENCES "
          "exam (id) ON DELETE CASCADE, version INTEGER NOT NULL, serial INTEGER NOT NULL, "
          "dni TEXT NOT NULL, file TEXT NOT NULL, page INTEGER NOT NULL, "
          "UNIQUE (exam_id, version, serial))",
          // number: in the version's order; position: exam_question's.
          "CREATE TABLE sheet_answer (sheet_id INTEGER NOT NULL REFERENCES sheet (id) ON "
          "DELETE CASCADE, number INTEGER NOT NULL, position INTEGER NOT NULL, answer TEXT "
          "NOT NULL, PRIMARY KEY (sheet_id, number))",
          "CREATE TABLE sheet_decision (sheet_id INTEGER NOT NULL REFERENCES sheet (id) ON "
          "DELETE CASCADE, item TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (sheet_id, "
          "item))"})
        if (!run(query, QString::fromLatin1(sql)))
            return false;
    return true;
}

std::optional<quint32> identifier(ExamHistory &history, qint64 exam, QString *error)
{
    QSqlQuery query(history.database());
    if (!run(query, QStringLiteral("SELECT identifier FROM exam WHERE id = ?"), {exam}) ||
        !query.next() || query.value(0).isNull()) {
        *error = query.lastError().isValid()
                     ? ExamHistory::reasonOfError(query.lastError())
                     : QStringLiteral("el examen %1 no tiene identificador").arg(exam);
        return std::nullopt;
    }
    return quint32(query.value(0).toLongLong());
}

QString store(ExamHistory &history, qint64 exam, const QList<StoredSheet> &sheets,
              const QHash<QPair<int, int>, Decisions> &decisions)
{
    return history.change([&](QSqlDatabase &db) -> QString {
        QSqlQuery query(db);
        const auto failed = [&query] { return ExamHistory::reasonOfError(query.lastError()); };
        const auto sheetId = [&](int version, int serial) -> qint64 {
            if (!run(query,
                     QStringLiteral("SELECT id FROM sheet WHERE exam_id = ? AND version = ? AND "
                                    "serial = ?"),
                     {exam, version, serial}) ||
                !query.next())
                return 0;
            return query.value(0).toLongLong();
        };
        for (const StoredSheet &sheet : sheets) {
            if (!run(query,
                     QStringLiteral("INSERT INTO sheet (exam_id, version, serial, dni, file, page) "
                                    "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (exam_id, version, "
                                    "serial) DO UPDATE SET dni = excluded.dni, file = "
                                    "excluded.file, page = excluded.page"),
                     {exam, sheet.version, sheet.serial, sheet.dni, sheet.file, sheet.page}))
                return failed();
            const qint64 id = sheetId(sheet.version, sheet.serial);
            if (id == 0 ||
                !run(query, QStringLiteral("DELETE FROM sheet_answer WHERE sheet_id = ?"), {id}))
                return failed();
            for (qsizetype n = 0; n < sheet.answers.size(); ++n)
                if (!run(query,
                         QStringLiteral("INSERT INTO sheet_answer (sheet_id, number, position, "
                                        "answer) VALUES (?, ?, ?, ?)"),
                         {id, n + 1, sheet.positions.value(n), QString(sheet.answers[n])}))
                    return failed();
        }
        for (auto sheet = decisions.cbegin(); sheet != decisions.cend(); ++sheet) {
            const qint64 id = sheetId(sheet.key().first, sheet.key().second);
            if (id == 0)
                continue; // a decision about a sheet not read: kept by the teacher's file
            for (auto item = sheet->cbegin(); item != sheet->cend(); ++item)
                if (!run(query,
                         QStringLiteral("INSERT INTO sheet_decision (sheet_id, item, value) "
                                        "VALUES (?, ?, ?) ON CONFLICT (sheet_id, item) DO UPDATE "
                                        "SET value = excluded.value"),
                         {id, item.key(), item.value()}))
                    return failed();
        }
        return QString();
    });
}

QHash<QPair<int, int>, Decisions> decisions(ExamHistory &history, qint64 exam, QString *error)
{
    QHash<QPair<int, int>, Decisions> found;
    QSqlQuery query(history.database());
    if (!run(query,
             QStringLiteral("SELECT s.version, s.serial, d.item, d.value FROM sheet_decision d "
                            "JOIN sheet s ON s.id = d.sheet_id WHERE s.exam_id = ?"),
             {exam})) {
        *error = ExamHistory::reasonOfError(query.lastError());
        return found;
    }
    while (query.next())
        found[{query.value(0).toInt(), query.value(1).toInt()}].insert(query.value(2).toString(),
                                                                       query.value(3).toString());
    return found;
}

std::optional<LastMarking> lastMarking(ExamHistory &history)
{
    QSqlQuery query(history.database());
    if (!run(query, QStringLiteral("SELECT exam_id FROM sheet ORDER BY id DESC LIMIT 1")) ||
        !query.next())
        return std::nullopt;
    LastMarking last{query.value(0).toLongLong(), {}, 0};
    if (!run(query, QStringLiteral("SELECT file FROM sheet WHERE exam_id = ? ORDER BY id"),
             {last.exam}))
        return std::nullopt;
    while (query.next()) {
        ++last.sheets;
        if (const QString file = query.value(0).toString(); !last.files.contains(file))
            last.files.append(file);
    }
    return last;
}

} // namespace sheetRecords
