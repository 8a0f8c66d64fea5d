// The help texts: each section under its heading, the count table byte for
// byte with the bank's figures, and no text for a code no window uses.
#include "HelpText.h"

#include <QtTest>

Q_DECLARE_METATYPE(BankCounts)

class tst_HelpText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCountTableShowsTheBanksFiguresInFixedColumns_data()
    {
        QTest::addColumn<BankCounts>("counts");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("table");
        // clang-format off
        QTest::newRow("more than a thousand") << BankCounts{471, 136, 720, 1381} << "    El programa contiene 2.708 preguntas distribuidas de la forma siguiente:" << "    1. Preguntas de exposición ............... 1.327\r\n\r\n" "       a) Conceptuales .............   471\r\n" "       b) Prácticas ................   136\r\n" "       c) Breves ...................   720\r\n\r\n" "    2. Preguntas de tipo test ................ 1.381\r\n" "                                               -----\r\n" "                        Total ................ 2.708\r\n\r\n\r\n";
        // Past 99.999 a figure no longer fits its field and is written whole.
        QTest::newRow("wider than the field") << BankCounts{30000, 0, 999, 99999} << "    El programa contiene 130.998 preguntas distribuidas de la forma siguiente:" << "    1. Preguntas de exposición ............... 30.999\r\n\r\n" "       a) Conceptuales ............. 30.000\r\n" "       b) Prácticas ................     0\r\n" "       c) Breves ...................   999\r\n\r\n" "    2. Preguntas de tipo test ................ 99.999\r\n" "                                               -----\r\n" "                        Total ................ 130.998\r\n\r\n\r\n";
        // clang-format on
    }
    void theCountTableShowsTheBanksFiguresInFixedColumns()
    {
        QFETCH(BankCounts, counts);
        QFETCH(QString, sentence);
        QFETCH(QString, table);
        QCOMPARE(HelpText::composeCountTable(counts), table);
        // In the general section the sentence and the table follow each other.
        const QString general = HelpText::composeHelpText(0, counts);
        QVERIFY2(general.contains(sentence + "\r\n\r\n" + table), qPrintable(general));
    }

    // Each window's section opens with its heading; every line break is CR LF;
    // a code no window uses has no text.
    void eachSectionOpensWithItsHeading_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("heading");
        // clang-format off
        QTest::newRow("0") << qint16(0) << "AYUDA GENERAL.    ";
        QTest::newRow("1") << qint16(1) << "SELECCIÓN DE PREGUNTAS DE EXPOSICIÓN";
        QTest::newRow("2") << qint16(2) << "MODIFICACIÓN DE PREGUNTAS DE EXPOSICIÓN";
        QTest::newRow("3") << qint16(3) << "SELECCIÓN DE PREGUNTAS DE TIPO TEST";
        QTest::newRow("4") << qint16(4) << "MODIFICACIÓN DE PREGUNTAS DE TIPO TEST";
        QTest::newRow("5") << qint16(5) << "IMPRESIÓN DE LOS EXÁMENES";
        QTest::newRow("help closed") << qint16(-999) << "";
        QTest::newRow("just past the output window") << qint16(6) << "";
        // clang-format on
    }
    void eachSectionOpensWithItsHeading()
    {
        QFETCH(qint16, code);
        QFETCH(QString, heading);
        const QString text = HelpText::composeHelpText(code, BankCounts{4, 2, 3, 12});
        QCOMPARE(text.isEmpty(), heading.isEmpty());
        QCOMPARE(text.left(heading.size() + 4),
                 heading.isEmpty() ? QString() : heading + "\r\n\r\n");
        QVERIFY(text.isEmpty() || text.endsWith("\r\n\r\n"));
        QCOMPARE(text.count(u'\r'), text.count("\r\n"));
        QCOMPARE(text.count(u'\n'), text.count("\r\n"));
    }
};

QTEST_APPLESS_MAIN(tst_HelpText)
#include "tst_HelpText.moc"
