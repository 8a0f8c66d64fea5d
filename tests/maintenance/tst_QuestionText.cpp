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
        QTest::newRow("line feeds alone") << "uno\ndos\n"
                                          << "unodos";
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
