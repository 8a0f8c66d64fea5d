// The true/false selection window driven as a teacher drives it: what it
// opens on, double-clicking questions in and out, the 500-question limit, the
// question asked before a selection is thrown away, both print buttons to the
// output window and back, the whole exam from the real main window's menu by
// keyboard alone, and a bank changed by another program while the window is
// open.
#include "GuiFixture.h"
#include "Impres.h"
#include "KeyboardFocus.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "SaveDialogResponder.h"
#include "ScreenFit.h"
#include "TestFiles.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace GuiTest;

namespace {
const QString kA = QStringLiteral("|La demanda de un bien suele bajar cuando sube su precio.|Sí");
const QString kB = QStringLiteral("|El precio no influye nunca en la demanda.|No");
const QString kLeave =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
} // namespace

class tst_Testselec : public QObject
{
    Q_OBJECT

private:
    GuiFixture<TrueFalseBankFixture> m_gui;
    QPointer<Testselec> m_window;

    FlexGrid *grid(const char *name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    void doubleClick(const char *name, int row, int col)
    {
        QVERIFY(GuiTest::doubleClickCell(grid(name), row, col));
    }
    // The first `count` rows of a grid, each as "number|text|answer".
    QStringList rows(const char *name, int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << grid(name)->textMatrix(r, 0) + u'|' + grid(name)->textMatrix(r, 1) + u'|' +
                         grid(name)->textMatrix(r, 2);
        return shown;
    }

    // The program's own main window in place of the stand-in, active.
    Orvalis *openTheRealMainWindow()
    {
        m_gui.dropStandIn();
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        return RealMainWindow::open();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        m_window = m_gui.open<Testselec>(Testselec::kName, ActiveWindowCodes::kMain);
        QVERIFY(m_window);
    }
    void cleanup() { m_gui.tearDown(); }

    void opensOnChapterOneTopicOneAndKeepsChosenQuestionsInOrder()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Selección de preguntas tipo test"));
        QCOMPARE(m_window->findChild<QListWidget *>("List1")->count(), 22);
        QCOMPARE(m_window->findChild<QListWidget *>("List2")->count(), 9);
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(m_window->currentTopic(), 1);
        QCOMPARE(label3(), QStringLiteral("0"));
        QStringList shown;
        for (const QLabel *label : m_window->findChildren<QLabel *>())
            shown << label->text();
        for (const QPushButton *button : m_window->findChildren<QPushButton *>())
            shown << button->text();
        for (const char *text :
             {"Capítulos:", "Temas:", "Preguntas disponibles:",
              "(Haga \"doble clic\" sobre las preguntas que quiera incluir en el examen)",
              "Preguntas seleccionadas:",
              "(Haga \"doble clic\" sobre las preguntas que quiera eliminar)",
              "Nº de preguntas seleccionadas:", "Imprimir examen",
              "Imprimir plantilla de respuestas correctas", "Salir"})
            QVERIFY2(shown.contains(QString::fromUtf8(text)), text);
        for (FlexGrid *g : {grid("Grid3"), grid("Grid1")})
            QCOMPARE(QStringList({g->textMatrix(0, 0), g->textMatrix(0, 1), g->textMatrix(0, 2)}),
                     (QStringList{"Nº", "PREGUNTA", "Resp."}));
        QCOMPARE(grid("Grid3")->rows(), 5); // two questions, four numbered rows
        QCOMPARE(rows("Grid3", 4), (QStringList{"1" + kA, "2" + kB, "3||", "4||"}));
        QCOMPARE(grid("Grid1")->rows(), 501);
        QStringList empty;
        for (int k = 1; k <= 500; ++k)
            empty << QStringLiteral("%1||").arg(k);
        QCOMPARE(rows("Grid1", 500), empty);

        for (int i = 0; i < 3; ++i)
            doubleClick("Grid3", 2, 1);
        MessageBoxResponder responder; // any box would be a failure
        doubleClick("Grid3", 0, 1);    // headers and filler rows are ignored
        doubleClick("Grid3", 3, 1);
        doubleClick("Grid1", 0, 1);
        doubleClick("Grid1", 4, 1);
        QCOMPARE(rows("Grid1", 4), (QStringList{"1" + kB, "2" + kB, "3" + kB, "4||"}));
        QCOMPARE(label3(), QStringLiteral("3"));
        QCOMPARE(responder.seen(), 0);

        doubleClick("Grid1", 1, 1);
        auto *topics = m_window->findChild<QListWidget *>("List2");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(1)).center());
        QCOMPARE(m_window->currentTopic(), 2);
        doubleClick("Grid3", 3, 1);
        QCOMPARE(rows("Grid1", 3), (QStringList{"1" + kB, "2" + kB, "3|Pregunta 3 del tema 2|Sí"}));
        doubleClick("Grid1", 2, 1);
        QCOMPARE(rows("Grid1", 3), (QStringList{"1" + kB, "2|Pregunta 3 del tema 2|Sí", "3||"}));
        QCOMPARE(label3(), QStringLiteral("2"));
    }

    // Another program changes the bank while the window is open: the next
    // listing shows the file as it now is.
    void theNextListingShowsAChangeMadeElsewhere_data()
    {
        QTest::addColumn<bool>("replaced"); // otherwise appended to in place
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
            QByteArray record(256, ' ');
            qToLittleEndian<qint16>(1, record.data());
            qToLittleEndian<qint16>(1, record.data() + 2);
            const QByteArray text("Nueva del tema 1");
            record.replace(4, text.size(), text);
            qToLittleEndian<qint16>(1, record.data() + 254);
            QVERIFY(testFiles::writeFile(bankPath, before + record));
        }
        auto *topics = m_window->findChild<QListWidget *>("List2");
        topics->setCurrentRow(1);
        topics->setCurrentRow(0);
        QCOMPARE(rows("Grid3", 3), shown);
    }

    // What the bank cannot show is told once, when the window opens, with the
    // reason (each reason is the bank's own test); an unreadable bank lists
    // nothing.
    void whatTheBankCannotShowIsToldOnce_data()
    {
        QTest::addColumn<QString>("entry"); // what QELMEXT2.DAT becomes
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("listed"); // rows of chapter 1, topic 1
        QTest::newRow("folder") << "folder"
                                << "No se puede abrir el fichero QELMEXT2.DAT. Motivo: "
                                   "QELMEXT2.DAT no es un fichero de datos."
                                << 0;
        QTest::newRow("torn tail")
            << "torn"
            << "El fichero QELMEXT2.DAT termina con 3 bytes que no llegan a formar una "
               "pregunta, restos de una escritura interrumpida: no se muestran, y la "
               "próxima pregunta que se añada ocupará su lugar."
            << 2;
    }
    void whatTheBankCannotShowIsToldOnce()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(int, listed);
        Forms::reset();
        closeAllFiles();
        const QString path = m_gui.bank->filePath(QStringLiteral("QELMEXT2.DAT"));
        if (entry == "torn")
            QVERIFY(testFiles::writeFile(path, testFiles::readFile(path) + "xyz"));
        else
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        // Told once: other topics and chapters say nothing more.
        QCOMPARE(MessageBoxResponder::answer(
                     {MessageBoxResponder::notice(message)},
                     [this] {
                         m_window = qobject_cast<Testselec *>(Forms::show(Testselec::kName));
                         auto *chapters = m_window->findChild<QListWidget *>("List1");
                         chapters->setCurrentRow(1);
                         chapters->setCurrentRow(0);
                     }),
                 QString());
        QCOMPARE(m_window->currentChapter(), 1);
        int shown = 0;
        for (int row = 1; row < grid("Grid3")->rows(); ++row)
            shown += grid("Grid3")->textMatrix(row, 1).isEmpty() ? 0 : 1;
        QCOMPARE(shown, listed);
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
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 500 preguntas"))},
                                             [this] { doubleClick("Grid3", 2, 1); }),
                 QString());
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(rows("Grid1", 500).last(), "500" + kA);
        QCOMPARE(rows("Grid1", 2), (QStringList{"1" + kB, "2" + kA}));
        QCOMPARE(grid("Grid1")->rows(), 501);
    }

    void fitsTheScreenAndGivesExtraRoomToTheGrids()
    {
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        QTRY_COMPARE(ScreenFit::outsidePlaces(m_window), QStringList());
        QVERIFY(m_window->minimumSize().width() <= m_window->designSize().width());

        const QStringList names{"Grid3", "Grid1", "Command2", "Command3", "List1"};
        const QList<QRect> before = ScreenFit::places(m_window, names);
        m_window->resize(m_window->size() + QSize(100, 120));
        QTRY_COMPARE(
            ScreenFit::placeChanges(m_window, names, before),
            (QStringList{"Grid3 0,0 +100,+60", "Grid1 0,60 +100,+60", "Command2 0,120 +0,+0",
                         "Command3 0,0 +0,+0", "List1 0,0 +0,+0"}));
    }

    void questionsAddedAndRemovedWithTheKeyboardAlone()
    {
        key(Qt::Key_Tab); // List1 -> List2 -> help -> Grid3
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        QCOMPARE(grid("Grid3")->row(), 1); // reached by Tab: the first row
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        key(Qt::Key_Enter);
        key(Qt::Key_Down); // a filler row adds nothing
        key(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        QCOMPARE(rows("Grid1", 3), (QStringList{"1" + kA, "2" + kB, "3||"}));
        QCOMPARE(label3(), QStringLiteral("2"));

        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Grid1"));
        key(Qt::Key_Delete);
        QCOMPARE(rows("Grid1", 2), (QStringList{"1" + kB, "2||"}));
        QCOMPARE(focusName(), QStringLiteral("Grid1"));

        // Out of each grid both ways, then back to remove the last question.
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Command1"));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("Grid1"));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("Command3"));
        QCOMPARE(KeyboardFocus::tabTo("Grid1"), QStringLiteral("Grid1"));
        key(Qt::Key_Return);
        QCOMPARE(rows("Grid1", 1), QStringList{"1||"});
        QCOMPARE(label3(), QStringLiteral("0"));
    }

    // Salir, Esc, the close box and another window taking the activation all
    // leave the same way: with questions chosen the teacher is asked first,
    // and anything but Aceptar keeps the window and its selection.
    void leavingAsksBeforeDroppingASelection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("closed");
        const QString enter = MessageBoxResponder::kEnter, esc = MessageBoxResponder::kEscape;
        QTest::newRow("Salir, Cancelar") << "Salir" << 1 << "Cancelar" << false;
        QTest::newRow("Salir, Aceptar") << "Salir" << 1 << "Aceptar" << true;
        QTest::newRow("Esc, Cancelar") << "Esc" << 2 << "Cancelar" << false;
        QTest::newRow("Esc, nothing selected") << "Esc" << 0 << QString() << true;
        QTest::newRow("main window, Cancelar") << "main window" << 1 << "Cancelar" << false;
        QTest::newRow("main window, Aceptar") << "main window" << 1 << "Aceptar" << true;
        QTest::newRow("close box, Enter") << "close box" << 2 << enter << false;
        QTest::newRow("close box, Esc") << "close box" << 1 << esc << false;
        QTest::newRow("close box, Aceptar") << "close box" << 1 << "Aceptar" << true;
        QTest::newRow("close box, nothing selected") << "close box" << 0 << QString() << true;
    }
    void leavingAsksBeforeDroppingASelection()
    {
        QFETCH(QString, how);
        QFETCH(int, selected);
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        for (int i = 0; i < selected; ++i)
            doubleClick("Grid3", 1, 1);
        m_gui.main->helpButtonVisible = false;
        QList<MessageBoxResponder::Box> boxes;
        if (!answer.isEmpty())
            boxes << MessageBoxResponder::question(kLeave, answer);
        QCOMPARE(MessageBoxResponder::answer(boxes,
                                             [&] {
                                                 leave(m_window, &m_gui.main->window, how);
                                                 if (closed)
                                                     QTRY_VERIFY(!m_window);
                                             }),
                 QString());
        if (closed) {
            QVERIFY(!m_window);
            QCOMPARE(OpenFiles::count(), 0);
            QCOMPARE(m_gui.main->statusText, QString());
            QVERIFY(m_gui.main->helpButtonVisible);
            return;
        }
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QCOMPARE(label3(), QString::number(selected));
        QVERIFY(!m_gui.main->helpButtonVisible);
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
        QTest::newRow("Imprimir examen")
            << "Command1"
            << "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\nSí( ) No( )" + b + "Sí( ) No( )" +
                   a;
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
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        doubleClick("Grid3", 2, 1);
        doubleClick("Grid3", 1, 1);
        QTest::mouseClick(m_window->findChild<QPushButton *>(button), Qt::LeftButton);
        const auto output = [] { return Forms::findAs<Impres>(Impres::kName); };
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

    void everyChapterAndTopicTitleFitsItsList()
    {
        auto *chapters = m_window->findChild<QListWidget *>("List1");
        QCOMPARE(chapters->count(), 22);
        QCOMPARE(ScreenFit::overwideTitles(m_window).join(u'\n'), QString());
        QTRY_VERIFY(chapters->verticalScrollBar()->isVisible()); // laid out
        QCOMPARE(chapters->horizontalScrollBar()->maximum(), 0);
    }

    void aWholeExamWithTheKeyboardAlone()
    {
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        Orvalis *main = openTheRealMainWindow();
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
        QTRY_COMPARE(bar->activeAction() ? bar->activeAction()->objectName() : QString(),
                     QStringLiteral("mnuSalir"));
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction()->objectName(), QStringLiteral("mnuExamenTests"));
        QTest::keyClick(bar, Qt::Key_Down);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QWidget *menu = QApplication::activePopupWidget();
        QTRY_VERIFY(static_cast<QMenu *>(menu)->activeAction());
        QCOMPARE(static_cast<QMenu *>(menu)->activeAction()->objectName(),
                 QStringLiteral("mnuSelec2"));
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY((m_window = Forms::findAs<Testselec>(Testselec::kName)) &&
                    Forms::activeForm() == m_window);
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));
        QCOMPARE(ScreenFit::outsidePlaces(m_window).join(u','), QString());

        // Both questions of chapter 1, topic 1, then "Imprimir examen".
        QCOMPARE(KeyboardFocus::tabTo("Grid3"), QStringLiteral("Grid3"));
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(KeyboardFocus::tabTo("Command1"), QStringLiteral("Command1"));
        key(Qt::Key_Return);
        const auto output = [] { return Forms::findAs<Impres>(Impres::kName); };
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        const QString exam = composeExamText({kA.section(u'|', 1, 1), kB.section(u'|', 1, 1)});
        QCOMPARE(output()->text(), exam);
        // The main window is whole on screen and the output window whole in it.
        QTRY_COMPARE(ScreenFit::outsidePlaces(main).filter(QStringLiteral("frame ")).join(u','),
                     QString());
        const QWidget *outputFrame = output()->parentWidget(); // its child window frame
        QVERIFY(outputFrame->parentWidget()->rect().contains(outputFrame->geometry()));
        QCOMPARE(ScreenFit::outsidePlaces(output()).join(u','), QString());
        QTRY_VERIFY(QApplication::focusWidget());

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
        QVERIFY(dialog.answered);
        QVERIFY(QFile::exists(m_gui.bank->filePath(QStringLiteral("examen.txt"))));

        QTRY_VERIFY(QApplication::focusWidget());
        key(Qt::Key_I, Qt::AltModifier); // "Impresora"
        QTRY_VERIFY(QFile::exists(pdf));
        QCOMPARE(main->statusPanelText(3),
                 QStringLiteral("Examen enviado a la impresora ") + QDir::toNativeSeparators(pdf));

        key(Qt::Key_S, Qt::AltModifier); // "Salir de impresión"
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QTRY_VERIFY(QApplication::focusWidget());
        QCOMPARE(KeyboardFocus::tabTo("Command2"), QStringLiteral("Command2"));
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::question(kLeave, "Aceptar")},
                                             [] { key(Qt::Key_Space); }),
                 QString());
        QTRY_VERIFY(!m_window);
        PrinterSeam::setFactory({});
    }
};

QTEST_MAIN(tst_Testselec)
#include "tst_Testselec.moc"
