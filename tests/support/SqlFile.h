#pragma once
// Runs SQL statements straight on a SQLite file, as another program (or a
// damaged copy) would leave it, for the tests of the exam history.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

namespace sqlFile {

// Runs the statements on the file, making it if missing; a SELECT must find a
// row. False at the first statement that fails.
inline bool run(const QString &path, const QStringList &statements)
{
    bool done = true;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sqlFile"));
        db.setDatabaseName(path);
        done = db.open();
        QSqlQuery query(db);
        for (const QString &statement : statements)
            done = done && query.exec(statement) &&
                   (!statement.startsWith(QLatin1String("SELECT")) || query.next());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("sqlFile"));
    return done;
}

} // namespace sqlFile
