// The CSV export: a header row, CR LF line ends, and fields with commas,
// quotes and line breaks quoted so that an RFC 4180 reader gets them back.

#include "CsvExport.h"
#include "ExportSample.h"

#include <QTest>

namespace {

// A small RFC 4180 reader: rows of fields.
QList<QStringList> readBack(const QString &csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                field += csv[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.append(std::exchange(field, QString()));
        } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
            ++i;
            row.append(std::exchange(field, QString()));
            rows.append(std::exchange(row, QStringList()));
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows.append(row + QStringList{field}); // an unterminated last row
    return rows;
}

} // namespace

class tst_CsvExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsReadBackField_for_field()
    {
        const QByteArray csv = csvExport::write(exportSample());
        const QList<QStringList> rows = readBack(QString::fromUtf8(csv));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0], QStringList({"tipo", "capítulo", "título del capítulo", "tema",
                                       "título del tema", "registro", "respuesta", "texto"}));
        QCOMPARE(rows[1], QStringList({"test", "2", "El entorno del marketing", "2",
                                       "El microentorno: proveedores e intermediarios", "12", "Sí",
                                       "Proveedores: ¿{todos} = \"socios\" ~ #1?"}));
        QCOMPARE(rows[2].mid(5), QStringList({"13", "No", "A & B < C > D, 'sí' \\ no"}));
        QCOMPARE(rows[3].last(), QStringLiteral("La demanda\tcrece; línea\r\nnueva"));
        QCOMPARE(rows[4], QStringList({"conceptual", "1", "El marketing y su función en la empresa",
                                       "", "", "7", "", "Explique ]]> y <![CDATA[ sin más."}));
        QCOMPARE(rows[5].first(), QStringLiteral("breve"));
        QVERIFY(csv.endsWith("Breve: {}\r\n"));
    }

    void fieldsAreQuotedOnlyWhenTheyMustBe_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << QStringLiteral("Sin nada: {}; ¿sí?") << "Sin nada: {}; ¿sí?";
        QTest::newRow("comma") << QStringLiteral("a, b") << "\"a, b\"";
        QTest::newRow("quotes doubled") << QStringLiteral("di \"no\"") << "\"di \"\"no\"\"\"";
        QTest::newRow("line feed") << QStringLiteral("a\nb") << "\"a\nb\"";
        QTest::newRow("carriage return") << QStringLiteral("a\rb") << "\"a\rb\"";
        QTest::newRow("empty") << QString() << QString();
    }
    void fieldsAreQuotedOnlyWhenTheyMustBe()
    {
        QFETCH(QString, value);
        QFETCH(QString, field);
        QCOMPARE(csvExport::field(value), field);
    }
};

QTEST_APPLESS_MAIN(tst_CsvExport)
#include "tst_CsvExport.moc"
