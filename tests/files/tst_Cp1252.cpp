// Windows-1252: one byte per character, unencodable characters named once.

#include "Cp1252.h"

#include <QTest>

class tst_Cp1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Rows without unencodable characters also decode back to the text.
    void encodesAndDecodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("repeated, named once") << "Ω✓Ω" << QByteArray("\x1a\x1a\x1a") << "Ω✓";
        QTest::newRow("outside the basic plane") << "x😀y" << QByteArray("x\x1ay") << "😀";
        QTest::newRow("high block") << "S€–“x”Ÿ" << QByteArray("S\x80\x96\x93x\x94\x9f") << "";
        QTest::newRow("unassigned bytes keep their number")
            << "\u0081\u008d\u008f\u0090\u009d" << QByteArray("\x81\x8d\x8f\x90\x9d") << "";
        QTest::newRow("latin-1 part") << "\u00a0éÿ" << QByteArray("\xa0\xe9\xff") << "";
    }
    void encodesAndDecodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        QCOMPARE(Cp1252::encode(text).bytes, bytes);
        QCOMPARE(Cp1252::encode(text).unencodable, unencodable);
        QCOMPARE(Cp1252::canEncode(text), unencodable.isEmpty());
        if (unencodable.isEmpty())
            QCOMPARE(Cp1252::decode(bytes), text);
    }

    void everyByteSurvivesDecodingAndEncoding()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(Cp1252::decode(all).size(), 256);
        QCOMPARE(Cp1252::encode(Cp1252::decode(all)).bytes, all);
    }
};

QTEST_GUILESS_MAIN(tst_Cp1252)
#include "tst_Cp1252.moc"
