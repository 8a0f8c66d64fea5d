#pragma once
// One statement of the history's database run with its values bound in
// order, never written into the SQL text.

#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace boundQuery {

// False leaves the error in `query`.
inline bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {})
{
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace boundQuery
