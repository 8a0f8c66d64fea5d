// The program's message boxes: which answer a reflex Enter gives, and Esc.
#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_MessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyAnswers_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("defaultCaption");
        QTest::addColumn<bool>("cancelled");

        QTest::newRow("question, Enter") << true << int(Qt::Key_Return) << "Cancelar" << true;
        QTest::newRow("question, keypad Enter") << true << int(Qt::Key_Enter) << "Cancelar" << true;
        QTest::newRow("question, Esc") << true << int(Qt::Key_Escape) << "Cancelar" << true;
        QTest::newRow("message, Enter") << false << int(Qt::Key_Return) << "Aceptar" << false;
        QTest::newRow("message, Esc") << false << int(Qt::Key_Escape) << "Aceptar" << false;
    }
    void keyAnswers()
    {
        QFETCH(bool, question);
        QFETCH(int, key);
        QFETCH(QString, defaultCaption);
        QFETCH(bool, cancelled);

        QString seenDefault;
        bool pressed = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || pressed)
                return;
            pressed = true;
            seenDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key(key));
        });
        poll.start(20);
        const bool answer =
            MessageBox::show(QStringLiteral("¿Seguro?"),
                             question ? MessageBox::Buttons::OkCancel : MessageBox::Buttons::Ok);
        QVERIFY(pressed);
        QCOMPARE(seenDefault, defaultCaption);
        QCOMPARE(answer, cancelled);
    }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
