// The message box helper: title, buttons, no icon, and which answers count
// as Cancel; also checks that the responder notices a wrong box.
#include "MessageBox.h"
#include "MessageBoxResponder.h"

#include <QTest>

class tst_MessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersTellWhetherCancelWasChosen_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("question, Aceptar") << true << QStringLiteral("Aceptar") << false;
        QTest::newRow("question, Cancelar") << true << QStringLiteral("Cancelar") << true;
        QTest::newRow("question, Esc") << true << MessageBoxResponder::kEscape << true;
        QTest::newRow("message, Aceptar") << false << QStringLiteral("Aceptar") << false;
        QTest::newRow("message, Esc") << false << MessageBoxResponder::kEscape << false;
    }
    void answersTellWhetherCancelWasChosen()
    {
        QFETCH(bool, question);
        QFETCH(QString, click);
        QFETCH(bool, cancelled);
        const QString text = QStringLiteral("¿Seguro que quiere salir? ");
        const QStringList buttons =
            question ? QStringList{QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}
                     : QStringList{QStringLiteral("Aceptar")};
        MessageBoxResponder responder;
        responder.expect(text, buttons, click);
        bool result = false;
        if (question)
            result = MessageBox::askCancelled(text);
        else
            MessageBox::inform(text);
        QCOMPARE(result, cancelled);
        QCOMPARE(responder.seen(), 1);
        QCOMPARE(responder.pending(), 0);
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
    }

    void responderReportsMismatchesAndUnexpectedBoxes()
    {
        MessageBoxResponder responder;
        responder.expect(QStringLiteral("otro texto"), {QStringLiteral("Aceptar")},
                         QStringLiteral("Aceptar"));
        MessageBox::askCancelled(QStringLiteral("¿Seguro?"));
        MessageBox::inform(QStringLiteral("sin esperar"));
        const QStringList failures = responder.failures();
        QCOMPARE(failures.size(), 3);
        QVERIFY(failures.at(0).contains(QStringLiteral("otro texto")));
        QVERIFY(failures.at(1).startsWith(QStringLiteral("buttons")));
        QVERIFY(failures.at(2).contains(QStringLiteral("unexpected")));
        QCOMPARE(responder.seen(), 2);
    }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
