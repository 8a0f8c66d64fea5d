// The true/false selection window driven as a teacher drives it: what it
// lists, double-clicking questions in and out, the 500-question limit, a bank
// changed or spoilt under it, both print buttons to the output window and
// back, and a whole exam from the real main window's menu by keyboard alone.
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "SaveDialogResponder.h"
#include "ScreenFit.h"
#include "TestFiles.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cstdio>

using namespace GuiTest;

namespace {
const QString kA = QStringLiteral("|La demanda de un bien suele bajar cuando sube su precio.|Sí");
const QString kB = QStringLiteral("|El precio no influye nunca en la demanda.|No");
const QString kLeave =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
Impres *output()
{
    return Forms::findAs<Impres>(Impres::kName);
}
} // namespace

class tst_Testselec : public QObject
{
    Q_OBJECT

    GuiFixture<TrueFalseBankFixture> m_gui;
    QPointer<Testselec> m_window;

    FlexGrid *grid(const char *name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    void doubleClick(const char *name, int row) { QVERIFY(doubleClickCell(grid(name), row, 1)); }
    // Rows 1..count of a grid, each as "number|text|answer".
    QStringList rows(const char *name, int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << grid(name)->textMatrix(r, 0) + u'|' + grid(name)->textMatrix(r, 1) + u'|' +
                         grid(name)->textMatrix(r, 2);
        return shown;
    }
    void showWindow()
    {
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        m_window = m_gui.open<Testselec>(Testselec::kName, ActiveWindowCodes::kMain);
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(m_gui.setUp());
        showWindow();
        QVERIFY(m_window);
    }
    void cleanup() { m_gui.tearDown(); }

    void doubleClicksAddAndRemoveQuestionsInOrder()
    {
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(m_window->currentTopic(), 1);
        QCOMPARE(grid("Grid3")->rows(), 5); // two questions, four numbered rows
        QCOMPARE(rows("Grid3", 4), (QStringList{"1" + kA, "2" + kB, "3||", "4||"}));
        QCOMPARE(grid("Grid1")->rows(), 501);
        QCOMPARE(rows("Grid1", 500).last(), QStringLiteral("500||"));
        for (int i = 0; i < 3; ++i)
            doubleClick("Grid3", 2);
        MessageBoxResponder responder; // any box would be a failure
        doubleClick("Grid3", 0);       // headers and filler rows are ignored
        doubleClick("Grid3", 3);
        doubleClick("Grid1", 0);
        doubleClick("Grid1", 4);
        QCOMPARE(rows("Grid1", 4), (QStringList{"1" + kB, "2" + kB, "3" + kB, "4||"}));
        QCOMPARE(label3(), QStringLiteral("3"));
        doubleClick("Grid1", 1);
        auto *topics = m_window->findChild<QListWidget *>("List2");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(1)).center());
        QCOMPARE(m_window->currentTopic(), 2);
        doubleClick("Grid3", 3);
        doubleClick("Grid1", 2);
        QCOMPARE(rows("Grid1", 3), (QStringList{"1" + kB, "2|Pregunta 3 del tema 2|Sí", "3||"}));
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(responder.seen(), 0);
    }

    // Each question added is scrolled into view, up to the 500th; one more is refused.
    void aFiveHundredAndFirstQuestionIsRefused()
    {
        QTableWidget *table = grid("Grid1")->view();
        for (int n = 1; n <= 500; ++n) {
            grid("Grid3")->setCurrentCell(1 + n % 2, 1);
            m_window->Grid3_DblClick();
            const QRect added = table->visualRect(table->model()->index(n - 1, 0));
            QVERIFY2(table->viewport()->rect().contains(added), qPrintable(QString::number(n)));
        }
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 500 preguntas"))},
                                             [this] { doubleClick("Grid3", 2); }),
                 QString());
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(rows("Grid1", 500).last(), "500" + kA);
        QCOMPARE(grid("Grid1")->rows(), 501);
    }

    // Another program changes the bank while the window is open (replaced
    // or appended to): the next listing shows the file as it now is.
    void theNextListingShowsAChangeMadeElsewhere_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("replaced without its first question")
            << true << QStringList{"1" + kB, "2||", "3||"};
        QTest::newRow("a question appended")
            << false << QStringList{"1" + kA, "2" + kB, "3|Nueva del tema 1|Sí"};
    }
    void theNextListingShowsAChangeMadeElsewhere()
    {
        QFETCH(bool, replaced);
        QFETCH(QStringList, shown);
        const QString bankPath = m_gui.bank->filePath(QStringLiteral("QELMEXT2.DAT"));
        const QByteArray before = testFiles::readFile(bankPath);
        if (replaced) {
            const QString other = m_gui.bank->filePath(QStringLiteral("otro.tmp"));
            QVERIFY(testFiles::writeFile(other, before.mid(256)));
            QVERIFY(std::rename(QFile::encodeName(other).constData(),
                                QFile::encodeName(bankPath).constData()) == 0);
        } else {
            QByteArray record = before.left(256);
            record.replace(4, 250, QByteArray("Nueva del tema 1").leftJustified(250, ' '));
            QVERIFY(testFiles::writeFile(bankPath, before + record));
        }
        auto *topics = m_window->findChild<QListWidget *>("List2");
        topics->setCurrentRow(1);
        topics->setCurrentRow(0);
        QCOMPARE(rows("Grid3", 3), shown);
    }

    // What the bank cannot show is told once, when the window opens; an
    // unreadable bank lists nothing.
    void whatTheBankCannotShowIsToldOnce_data()
    {
        QTest::addColumn<bool>("folder"); // otherwise a torn tail
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("firstRow");
        QTest::newRow("folder") << true
                                << "No se puede abrir el fichero QELMEXT2.DAT. Motivo: "
                                   "QELMEXT2.DAT no es un fichero de datos."
                                << "1||";
        QTest::newRow("torn tail")
            << false
            << "El fichero QELMEXT2.DAT termina con 3 bytes que no llegan a formar una "
               "pregunta, restos de una escritura interrumpida: no se muestran, y la "
               "próxima pregunta que se añada ocupará su lugar."
            << "1" + kA;
    }
    void whatTheBankCannotShowIsToldOnce()
    {
        QFETCH(bool, folder);
        QFETCH(QString, message);
        QFETCH(QString, firstRow);
        Forms::reset();
        closeAllFiles();
        const QString path = m_gui.bank->filePath(QStringLiteral("QELMEXT2.DAT"));
        if (folder)
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        else
            QVERIFY(testFiles::writeFile(path, testFiles::readFile(path) + "xyz"));
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(message)},
                                             [this] {
                                                 showWindow();
                                                 auto *chapters =
                                                     m_window->findChild<QListWidget *>("List1");
                                                 chapters->setCurrentRow(1);
                                                 chapters->setCurrentRow(0);
                                             }),
                 QString());
        QCOMPARE(rows("Grid3", 1), QStringList{firstRow});
    }

    // Each print button hands its text to the output window, which takes the
    // toolbar away until the teacher comes back to the unchanged selection.
    void bothPrintButtonsHandTheirTextToTheOutputWindowAndBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        const QString b = QStringLiteral("  -  El precio no influye nunca en la demanda.\r\n");
        const QString a =
            QStringLiteral("  -  La demanda de un bien suele bajar cuando sube su precio.\r\n");
        QTest::newRow("Imprimir examen") << "Command1"
                                         << "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n"
                                            "Sí( ) No( )" +
                                                b + "Sí( ) No( )" + a;
        QTest::newRow("Imprimir plantilla")
            << "Command5"
            << "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas "
               "correctas\r\n\r\nSí( ) No(•)" +
                   b + "Sí(•) No( )" + a;
    }
    void bothPrintButtonsHandTheirTextToTheOutputWindowAndBack()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        doubleClick("Grid3", 2);
        doubleClick("Grid3", 1);
        QTest::mouseClick(m_window->findChild<QPushButton *>(button), Qt::LeftButton);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        QCOMPARE(output()->text(), text);
        QVERIFY(!m_gui.main->toolbarEnabled);
        QCOMPARE(m_gui.main->statusText, QStringLiteral("Imprimir examen"));
        QVERIFY(!m_window->isVisible());
        QTest::mouseClick(output()->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QTRY_VERIFY(!output() && m_gui.main->toolbarEnabled);
        QCOMPARE(m_gui.main->statusText, QStringLiteral("Seleccionar preguntas tipo test"));
        QCOMPARE(rows("Grid1", 3), (QStringList{"1" + kB, "2" + kA, "3||"}));
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);
    }

    // From the menu bar to the clipboard, a file and the printer and out
    // again, by keys only; the grids keep the focus while questions go in
    // and out.
    void aWholeExamWithTheKeyboardAlone()
    {
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        m_gui.dropStandIn();
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        Orvalis *main = RealMainWindow::open();
        QVERIFY(main);
        QTemporaryDir printed;
        const QString pdf = printed.filePath(QStringLiteral("examen.pdf"));
        PrinterSeam::setFactory([pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });

        // Alt reaches the menu bar; "Preguntas tipo test" / "Seleccionar preguntas".
        QTest::keyPress(main, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(main, Qt::Key_Alt, Qt::NoModifier);
        auto *bar = main->menuBar();
        QTRY_VERIFY(bar->activeAction());
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction()->objectName(), QStringLiteral("mnuExamenTests"));
        QTest::keyClick(bar, Qt::Key_Down);
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto *menu = static_cast<QMenu *>(QApplication::activePopupWidget());
        QTRY_VERIFY(menu->activeAction());
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY((m_window = Forms::findAs<Testselec>(Testselec::kName)) &&
                    Forms::activeForm() == m_window);
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));

        // Enter adds (a filler row adds nothing), Delete removes, focus stays.
        QCOMPARE(KeyboardFocus::tabTo("Grid3"), QStringLiteral("Grid3"));
        QCOMPARE(grid("Grid3")->row(), 1); // reached by Tab: the first row
        for (Qt::Key k : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Enter, Qt::Key_Down, Qt::Key_Return,
                          Qt::Key_Tab, Qt::Key_Delete})
            key(k);
        QCOMPARE(focusName(), QStringLiteral("Grid1"));
        QCOMPARE(rows("Grid1", 2), (QStringList{"1" + kB, "2||"}));
        key(Qt::Key_Backtab);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        for (Qt::Key k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Return})
            key(k);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(KeyboardFocus::tabTo("Command1"), QStringLiteral("Command1"));
        key(Qt::Key_Return);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        const QString exam = composeExamText({kB.section(u'|', 1, 1), kA.section(u'|', 1, 1)});
        QCOMPARE(output()->text(), exam);
        // The main window whole on screen and the output window whole in it.
        QTRY_COMPARE(ScreenFit::outsidePlaces(main).filter(QStringLiteral("frame ")).join(u','),
                     QString());
        const QWidget *outputFrame = output()->parentWidget();
        QVERIFY(outputFrame->parentWidget()->rect().contains(outputFrame->geometry()));
        QCOMPARE(ScreenFit::outsidePlaces(output()).join(u','), QString());

        const auto pressAnswering = [](Qt::Key letter, const QString &box) {
            QTRY_VERIFY(QApplication::focusWidget());
            QCOMPARE(MessageBoxResponder::answer(
                         {MessageBoxResponder::notice(box, MessageBoxResponder::kEnter)},
                         [letter] { key(letter, Qt::AltModifier); }),
                     QString());
        };
        pressAnswering(Qt::Key_P, QStringLiteral("Texto transferido al portapapeles…"));
        QCOMPARE(QGuiApplication::clipboard()->text(), exam);
        SaveDialogResponder dialog;
        dialog.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("examen.txt"));
        pressAnswering(Qt::Key_F, QStringLiteral("Fichero guardado como: …"));
        QVERIFY(QFile::exists(m_gui.bank->filePath(QStringLiteral("examen.txt"))));
        QTRY_VERIFY(QApplication::focusWidget());
        key(Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(QFile::exists(pdf));
        QCOMPARE(main->statusPanelText(3),
                 QStringLiteral("Examen enviado a la impresora ") + QDir::toNativeSeparators(pdf));

        key(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QTRY_VERIFY(QApplication::focusWidget());
        QCOMPARE(KeyboardFocus::tabTo("Command2"), QStringLiteral("Command2"));
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::question(kLeave, "Aceptar")},
                                             [] { key(Qt::Key_Space); }),
                 QString());
        QTRY_VERIFY(!m_window);
    }
};

QTEST_MAIN(tst_Testselec)
#include "tst_Testselec.moc"
