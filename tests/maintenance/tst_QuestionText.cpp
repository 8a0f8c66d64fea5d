// The cleaning of an edited question and the text the maintenance windows
// show when a change is refused.
#include "QuestionText.h"

#include <QtTest>

class tst_QuestionText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleaningTrimsSpacesAndJoinsLines_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("stored");
        QTest::newRow("two lines") << "uno\r\ndos"
                                   << "unodos";
        QTest::newRow("line feeds alone") << "uno\ndos\n"
                                          << "unodos";
        QTest::newRow("spaces and breaks only") << "  \r\n \n  "
                                                << "";
        QTest::newRow("leading spaces after a break stay")
            << "  \r\n  abc"
            << "  abc"; // only the outer spaces go before the breaks do
        QTest::newRow("tabs are not spaces") << "\tabc\t "
                                             << "\tabc\t";
        QTest::newRow("inner spaces stay") << " a  b "
                                           << "a  b";
    }
    void cleaningTrimsSpacesAndJoinsLines()
    {
        QFETCH(QString, edited);
        QFETCH(QString, stored);
        QCOMPARE(cleanQuestionText(edited), stored);
    }

    void refusalsNameTheirCause_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("shown");
        QTest::newRow("topic full") << int(BankErrorCode::TopicFull) << "x"
                                    << ""
                                    << "LLENO";
        QTest::newRow("chapter full") << int(BankErrorCode::ChapterFull) << "x"
                                      << ""
                                      << "LLENO";
        QTest::newRow("code page")
            << int(BankErrorCode::TextNotEncodable) << "x"
            << "→✓"
            << "El texto contiene caracteres que no se pueden guardar: «→» (U+2192), «✓» (U+2713)";
        QTest::newRow("write with reason")
            << int(BankErrorCode::CannotWrite) << "No se puede escribir."
            << "el disco está lleno"
            << "No se ha podido actualizar la base de datos: el disco está lleno";
        // Another program's doing: its own sentence, not a failure to update.
        QTest::newRow("locked elsewhere")
            << int(BankErrorCode::LockedElsewhere) << "Bloqueado desde otro programa."
            << ""
            << "Bloqueado desde otro programa.";
        QTest::newRow("changed elsewhere")
            << int(BankErrorCode::ChangedElsewhere) << "Cambiado desde otro programa."
            << ""
            << "Cambiado desde otro programa.";
        QTest::newRow("write without reason")
            << int(BankErrorCode::CannotWrite) << "No se puede escribir."
            << ""
            << "No se ha podido actualizar la base de datos: No se puede escribir.";
    }
    void refusalsNameTheirCause()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QFETCH(QString, shown);
        const BankError error{BankErrorCode(code), message, detail};
        QCOMPARE(changeRefusedMessage(error, QStringLiteral("LLENO")), shown);
    }
};

QTEST_APPLESS_MAIN(tst_QuestionText)
#include "tst_QuestionText.moc"
