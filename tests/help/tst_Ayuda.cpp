// The help window: the section of the window that opened it, the bank's own
// counts in general help, on closing the main window's help button shown
// again after general help only, and the window that opened help leaving again
// when the teacher turns to another; the count table byte for byte with the
// bank's figures.
#include "Ayuda.h"
#include "BankFolders.h"
#include "GuiFixture.h"
#include "HelpText.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "TestFiles.h"
#include "Testselec.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QToolButton>
#include <QtTest>

class tst_Ayuda : public QObject
{
    Q_OBJECT

    // Its bank folder, a true/false bank of 5 questions, is the working directory.
    GuiFixture<TrueFalseBankFixture> m_gui;

    static QStringList shownLines(QWidget *help)
    {
        return help->findChild<QPlainTextEdit *>("Text1")->toPlainText().split(u'\n');
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        GuiTest::registerWindows<Ayuda>();
    }
    void cleanup() { m_gui.tearDown(); }

    // General help, from the main window: the bank's counts, no file created;
    // closed, the main window's help button is shown again and no window is active.
    void generalHelpCountsTheBankItFindsWithoutCreatingAFile()
    {
        QVERIFY(testFiles::writeFile(m_gui.bank->filePath("QELMEXE1.DAT"),
                                     QByteArray(502 * 1200 + 17, ' ')));
        QVERIFY(testFiles::writeFile(m_gui.bank->filePath("qelmexe2.dat"),
                                     QByteArray(1002 * 136, ' ')));
        QWidget *help = m_gui.open<Ayuda>(Ayuda::kName, 0);
        QVERIFY(help);
        QCOMPARE(shownLines(help).mid(4, 9),
                 (QStringList{"    El programa contiene 1.341 preguntas distribuidas de la forma "
                              "siguiente:",
                              "", "    1. Preguntas de exposición ............... 1.336", "",
                              "       a) Conceptuales ............. 1.200",
                              "       b) Prácticas ................   136",
                              "       c) Breves ...................     0", "",
                              "    2. Preguntas de tipo test ................     5"}));
        QVERIFY(!QFile::exists(m_gui.bank->filePath("QELMEXE3.DAT")));
        m_gui.main->helpButtonVisible = false; // as the toolbar click that opens help leaves it
        GuiTest::click(help, "Command1");
        QTRY_VERIFY(!Forms::find(Ayuda::kName));
        QVERIFY(m_gui.main->helpButtonVisible);
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);
    }

    // Help opened from a selection shows its section; closed, the selection
    // is active again, the help button stays hidden, and the toolbar's next
    // window asks its leave question, and Aceptar leaves it.
    void theWindowThatOpenedHelpAsksAgainOnceHelpIsClosed()
    {
        m_gui.dropStandIn();
        Orvalis *main = RealMainWindow::open();
        QVERIFY(main);
        GuiTest::registerWindows<Testselec, Ayuda>();
        Forms::registerForm("Examselec", [] { return new Form("Examselec"); });
        QTest::mouseClick(main->toolbarButton(8), Qt::LeftButton);
        QPointer<QWidget> selection;
        QTRY_VERIFY((selection = Forms::find(Testselec::kName)) &&
                    Forms::activeForm() == selection);
        QVERIFY(GuiTest::clickCell(selection->findChild<FlexGrid *>("Grid3"), 1, 1, true));
        const auto throughHelp = [&] {
            GuiTest::click(selection, "Command3");
            QWidget *help = nullptr;
            QTRY_VERIFY((help = Forms::find(Ayuda::kName)));
            // Over the main window, not in the screen's corner.
            const QPoint off = help->frameGeometry().center() - main->frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 2, qPrintable(QString::number(off.x())));
            QCOMPARE(shownLines(help)[0], "SELECCIÓN DE PREGUNTAS DE TIPO TEST");
            GuiTest::click(help, "Command1");
            QTRY_COMPARE(Forms::activeForm(), selection.data());
        };
        QCOMPARE(MessageBoxResponder::answer({}, throughHelp), QString());
        QVERIFY(!main->toolbarItem(13)->isVisible());
        const auto leave = MessageBoxResponder::question(
            "¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas", "Aceptar");
        QCOMPARE(
            MessageBoxResponder::answer(
                {leave}, [main] { QTest::mouseClick(main->toolbarButton(4), Qt::LeftButton); }),
            QString());
        QTRY_VERIFY(!selection && Forms::activeForm() == Forms::find("Examselec"));
    }

    // Past 99.999 a figure no longer fits its field and is written whole.
    void theCountTableShowsTheBanksFiguresInFixedColumns()
    {
        QCOMPARE(HelpText::composeCountTable({30000, 0, 999, 99999}),
                 "    1. Preguntas de exposición ............... 30.999\r\n\r\n"
                 "       a) Conceptuales ............. 30.000\r\n"
                 "       b) Prácticas ................     0\r\n"
                 "       c) Breves ...................   999\r\n\r\n"
                 "    2. Preguntas de tipo test ................ 99.999\r\n"
                 "                                               -----\r\n"
                 "                        Total ................ 130.998\r\n\r\n\r\n");
    }
};

QTEST_MAIN(tst_Ayuda)
#include "tst_Ayuda.moc"
