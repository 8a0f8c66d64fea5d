// The clipboard as the output window uses it: emptied, then given the text.
#include "ClipboardSeam.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

class tst_ClipboardSeam : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clipboardHoldsExactlyTheLastText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("exam") << QStringLiteral("EXAMEN\r\n\r\nSí(\u2022) No( )  -  a\r\n");
        QTest::newRow("empty") << QString();
    }
    void clipboardHoldsExactlyTheLastText()
    {
        QFETCH(QString, text);
        QGuiApplication::clipboard()->setText(QStringLiteral("anterior"));
        ClipboardSeam::putText(text);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }
};

QTEST_MAIN(tst_ClipboardSeam)
#include "tst_ClipboardSeam.moc"
