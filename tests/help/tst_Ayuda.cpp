// The help window as the teacher meets it: its size, layout and minimum, the
// section of the window that opened it with the bank's own counts, the help
// button of the main window after general help only, and a working window
// that neither leaves when help opens nor forgets to ask once help is closed.
#include "Ayuda.h"
#include "Examselec.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "TestFiles.h"
#include "Testmodi.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

const QString kLeave =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
const QString kLeaveTrueFalseEdit =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de tipo test?");
const QStringList kOkCancel{QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};

Ayuda *help()
{
    return Forms::findAs<Ayuda>(Ayuda::kName);
}

QPlainTextEdit *text1()
{
    return help()->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
}

QPushButton *command1()
{
    return help()->findChild<QPushButton *>(QStringLiteral("Command1"));
}

QStringList shownLines()
{
    return text1()->toPlainText().split(u'\n');
}

} // namespace

class tst_Ayuda : public QObject
{
    Q_OBJECT

private:
    // Its bank folder, holding a true/false bank of 5 questions, is the
    // working directory.
    GuiFixture<TrueFalseBankFixture> m_gui;

    Ayuda *openHelp(qint16 code) { return m_gui.open<Ayuda>(Ayuda::kName, code); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Ayuda::kName, [] { return new Ayuda; });
    }
    void cleanup() { m_gui.tearDown(); }

    void opensWithTheSectionOfTheCodeItFinds_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("main window") << qint16(0) << "AYUDA GENERAL.    ";
        QTest::newRow("true/false maintenance")
            << qint16(4) << "MODIFICACIÓN DE PREGUNTAS DE TIPO TEST";
        QTest::newRow("output window") << qint16(5) << "IMPRESIÓN DE LOS EXÁMENES";
        QTest::newRow("none") << qint16(-999) << "";
    }
    void opensWithTheSectionOfTheCodeItFinds()
    {
        QFETCH(qint16, code);
        QFETCH(QString, firstLine);
        QVERIFY(openHelp(code));
        // A window of its own kept over the main window.
        QVERIFY(help()->isWindow());
        QCOMPARE(help()->parentWidget(), &m_gui.main->window);
        QCOMPARE(shownLines().first(), firstLine);
        QCOMPARE(text1()->toPlainText().isEmpty(), firstLine.isEmpty());
        QVERIFY(text1()->isReadOnly());
        // The count table needs a font whose characters are all one width.
        QVERIFY(QFontInfo(text1()->font()).fixedPitch());
        QCOMPARE(ActiveWindowCode, code);

        // Shown again from another window while open: the same window, its
        // text unchanged.
        const QString shown = text1()->toPlainText();
        QPointer<Ayuda> first = help();
        QVERIFY(openHelp(code == 3 ? 0 : 3));
        QCOMPARE(help(), first.data());
        QCOMPARE(text1()->toPlainText(), shown);
    }

    void generalHelpCountsTheBankItFindsWithoutCreatingAFile()
    {
        QVERIFY(testFiles::writeFile(m_gui.bank->filePath("QELMEXE1.DAT"),
                                     QByteArray(502 * 1200 + 17, ' ')));
        QVERIFY(testFiles::writeFile(m_gui.bank->filePath("qelmexe2.dat"),
                                     QByteArray(1002 * 136, ' ')));
        QVERIFY(openHelp(0));
        // The table's layout is the help text's own test; here, the figures.
        const QStringList lines = shownLines();
        QCOMPARE(lines.mid(8, 3), (QStringList{"       a) Conceptuales ............. 1.200",
                                               "       b) Prácticas ................   136",
                                               "       c) Breves ...................     0"}));
        QCOMPARE(lines.value(12),
                 QStringLiteral("    2. Preguntas de tipo test ................     5"));
        QVERIFY(!QFile::exists(m_gui.bank->filePath("QELMEXE3.DAT")));
        QCOMPARE(help()->text().left(22), QStringLiteral("AYUDA GENERAL.    \r\n\r\n"));
    }

    void keepsItsLayoutAndItsMinimumOnEveryResize_data()
    {
        // Outer sizes in pixels; Text1 as left, top, width, height; Command1's top left.
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QRect>("text");
        QTest::addColumn<QPoint>("button");
        QTest::newRow("load size: 8700 x 5800 twips")
            << QSize() << QSize(580, 387) << QRect(20, 16, 536, 303) << QPoint(245, 330);
        QTest::newRow("too low") << QSize(580, 150) << QSize(580, 200) << QRect(20, 16, 536, 116)
                                 << QPoint(245, 143);
        QTest::newRow("too narrow")
            << QSize(100, 387) << QSize(200, 387) << QRect(20, 16, 156, 303) << QPoint(55, 330);
    }
    void keepsItsLayoutAndItsMinimumOnEveryResize()
    {
        QFETCH(QSize, requested);
        QFETCH(QSize, outer);
        QFETCH(QRect, text);
        QFETCH(QPoint, button);
        QVERIFY(openHelp(0));
        if (requested.isValid())
            help()->resize(requested - (help()->frameGeometry().size() - help()->size()));
        QTRY_COMPARE(help()->outerSize(), outer);
        QTRY_COMPARE(text1()->geometry(), text);
        QCOMPARE(command1()->pos(), button);
        QCOMPARE(command1()->size(), QSize(89, 19)); // 1335 x 285 twips
    }

    void closingShowsTheHelpButtonAgainAfterGeneralHelpOnly_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("helpButtonVisible");
        QTest::addColumn<qint16>("codeAfter");
        QTest::newRow("general, Cerrar ayuda")
            << qint16(0) << "Cerrar ayuda" << true << qint16(-999);
        QTest::newRow("general, Esc") << qint16(0) << "Esc" << true << qint16(-999);
        QTest::newRow("true/false selection, Esc") << qint16(3) << "Esc" << false << qint16(-999);
        QTest::newRow("general, close box") << qint16(0) << "close box" << true << qint16(0);
        QTest::newRow("output window, close box") << qint16(5) << "close box" << false << qint16(5);
    }
    void closingShowsTheHelpButtonAgainAfterGeneralHelpOnly()
    {
        QFETCH(qint16, code);
        QFETCH(QString, how);
        QFETCH(bool, helpButtonVisible);
        QFETCH(qint16, codeAfter);
        m_gui.main->helpButtonVisible = false; // as the toolbar click that opens help leaves it
        QPointer<Ayuda> window = openHelp(code);
        QVERIFY(window);
        if (how == u"Cerrar ayuda")
            QTest::mouseClick(command1(), Qt::LeftButton);
        else if (how == u"Esc")
            QTest::keyClick(window, Qt::Key_Escape);
        else
            window->close();
        QTRY_VERIFY(!window);
        QCOMPARE(Forms::find(Ayuda::kName), nullptr);
        QCOMPARE(m_gui.main->helpButtonVisible, helpButtonVisible);
        QCOMPARE(ActiveWindowCode, codeAfter);
    }

    void helpFromTheOutputWindowLeavesItOpen()
    {
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        QPointer<Impres> output =
            m_gui.open<Impres>(Impres::kName, ActiveWindowCodes::kTrueFalseSelection);
        QVERIFY(output);
        QTest::mouseClick(output->findChild<QPushButton *>("Command3"), Qt::LeftButton);
        QTRY_VERIFY(help() && Forms::activeForm() == help());
        QCOMPARE(shownLines().first(), QStringLiteral("IMPRESIÓN DE LOS EXÁMENES"));
        QTest::mouseClick(command1(), Qt::LeftButton);
        QTRY_VERIFY(!help());
        QVERIFY(output && output->isVisible());
    }
    // Help opened from a working window through the real windows: the
    // window stays while help is open; once help is closed it is the active
    // window again, and opening another window from the toolbar asks its
    // leave question (Cancelar keeps it and opens nothing).
    void aWorkingWindowStaysWhileHelpIsOpenAndAsksAgainOnceItIsClosed_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("answer");
        QTest::newRow("Testselec, Aceptar") << "Testselec"
                                            << "Aceptar";
        QTest::newRow("Testselec, Cancelar") << "Testselec"
                                             << "Cancelar";
        QTest::newRow("Testmodi, Aceptar") << "Testmodi"
                                           << "Aceptar";
    }
    void aWorkingWindowStaysWhileHelpIsOpenAndAsksAgainOnceItIsClosed()
    {
        QFETCH(QString, window);
        QFETCH(QString, answer);
        m_gui.dropStandIn();
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Ayuda::kName, [] { return new Ayuda; });
        Orvalis *main = RealMainWindow::open();
        QVERIFY(main);
        QAction *helpButton = main->toolbarItem(Orvalis::kHelpButton);

        // General help from the toolbar hides its button until help closes.
        RealMainWindow::clickToolbar(main, QStringLiteral("MostrarAyuda"));
        QTRY_VERIFY(help() && Forms::activeForm() == help());
        QCOMPARE(shownLines().first(), QStringLiteral("AYUDA GENERAL.    "));
        QVERIFY(!helpButton->isVisible());
        // It opens over the main window, not in a corner of the screen.
        QVERIFY(
            (help()->frameGeometry().center() - main->frameGeometry().center()).manhattanLength() <
            8);
        QTest::mouseClick(command1(), Qt::LeftButton);
        QTRY_VERIFY(!help());
        QVERIFY(helpButton->isVisible());

        // The working window, with a question chosen in the selection.
        const bool selection = window == u"Testselec";
        RealMainWindow::clickToolbar(main, selection ? "Testsselec" : "Testsmodifi");
        QPointer<QWidget> working;
        QTRY_VERIFY((working = Forms::find(window)) && Forms::activeForm() == working);
        if (selection)
            QVERIFY(GuiTest::doubleClickCell(working->findChild<FlexGrid *>("Grid3"), 1, 1));

        MessageBoxResponder responder; // until told otherwise, any box is a failure
        QTest::mouseClick(working->findChild<QPushButton *>(selection ? "Command3" : "Command7"),
                          Qt::LeftButton);
        QTRY_VERIFY(help() && Forms::activeForm() == help());
        QTest::mouseClick(command1(), Qt::LeftButton);
        QTRY_VERIFY(!help());
        QTRY_COMPARE(Forms::activeForm(), working.data());
        QVERIFY(!helpButton->isVisible()); // help from a working window leaves it alone
        QCOMPARE(responder.seen(), 0);

        responder.expect(selection ? kLeave : kLeaveTrueFalseEdit, kOkCancel, answer);
        RealMainWindow::clickToolbar(main, QStringLiteral("Exposelec"));
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures(), QStringList());
        const bool left = answer == u"Aceptar";
        QTRY_COMPARE(Forms::activeForm(), left ? Forms::find(Examselec::kName) : working.data());
        QTRY_COMPARE(Forms::loadedNames().filter(QRegularExpression("^(Test|Exam)")),
                     QStringList{left ? "Examselec" : window});
        QCOMPARE(responder.seen(), 1);
    }
};

QTEST_MAIN(tst_Ayuda)
#include "tst_Ayuda.moc"
