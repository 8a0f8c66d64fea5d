// The text the maintenance windows show when the bank refuses a change.
#include "QuestionText.h"

#include <QtTest>

class tst_QuestionText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusalsNameTheirCause_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("write with reason") << int(BankErrorCode::CannotWrite) << "No se puede escribir." << "el disco está lleno" << "No se ha podido actualizar la base de datos: el disco está lleno";
        QTest::newRow("write without reason") << int(BankErrorCode::CannotWrite) << "No se puede escribir." << "" << "No se ha podido actualizar la base de datos: No se puede escribir.";
        // Another program's doing: its own sentence, not a failure to update.
        QTest::newRow("locked elsewhere") << int(BankErrorCode::LockedElsewhere) << "Bloqueado." << "" << "Bloqueado.";
        QTest::newRow("changed elsewhere") << int(BankErrorCode::ChangedElsewhere) << "Cambiado." << "x" << "Cambiado.";
        // clang-format on
    }
    void refusalsNameTheirCause()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QFETCH(QString, shown);
        QCOMPARE(changeRefusedMessage(BankError{BankErrorCode(code), message, detail},
                                      QStringLiteral("LLENO")),
                 shown);
    }
};

QTEST_APPLESS_MAIN(tst_QuestionText)
#include "tst_QuestionText.moc"
