// The exposition selection window driven as a teacher drives it: kinds and
// chapters, a selection per kind kept across kind switches and a visit to the
// output window, row heights by text length, the 100-question limit of each
// kind, removal, the question asked before a selection is thrown away, and an
// exposition exam from the real main window's menu by keyboard alone.
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "KeyboardFocus.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "ScreenFit.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

using namespace GuiTest;

namespace {
const QString kLeave =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
const QString kC50 = ExpositionBankFixture::text(QStringLiteral("C50"), 50);
const QString kC230 = ExpositionBankFixture::text(QStringLiteral("C230"), 230);
const QString kC110 = ExpositionBankFixture::text(QStringLiteral("C110"), 110);
const QString kPlan = QStringLiteral("Diseñe un plan de precios.");
const QByteArray kHeader = "EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICI\xC3\x93N  \r\n"
                           "================================================\r\n\r\n";
} // namespace

class tst_Examselec : public QObject
{
    Q_OBJECT

private:
    GuiFixture<ExpositionBankFixture> m_gui;
    QPointer<Examselec> m_window;

    FlexGrid *grid(const QString &name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    void doubleClick(const QString &name, int row, int col)
    {
        QVERIFY(doubleClickCell(grid(name), row, col));
    }
    void chooseKind(int k)
    {
        QTest::mouseClick(m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(k)),
                          Qt::LeftButton);
        QCOMPARE(int(m_window->currentKind()), k);
    }
    void chooseChapter(int chapter)
    {
        auto *list = m_window->findChild<QListWidget *>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(chapter - 1)).center());
        QCOMPARE(m_window->currentChapter(), chapter);
    }
    // Column 1 of rows 1..count.
    QStringList texts(const QString &name, int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << grid(name)->textMatrix(r, 1);
        return shown;
    }
    // Row heights in pixels of rows 1..count.
    QList<int> heights(const QString &name, int count) const
    {
        QList<int> shown;
        for (int r = 1; r <= count; ++r)
            shown << grid(name)->view()->rowHeight(r - 1);
        return shown;
    }

    // The program's own main window in place of the stand-in, active.
    Orvalis *openTheRealMainWindow()
    {
        m_gui.dropStandIn();
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        return RealMainWindow::open();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        m_window = m_gui.open<Examselec>(Examselec::kName, ActiveWindowCodes::kMain);
        QVERIFY(m_window);
    }
    void cleanup() { m_gui.tearDown(); }

    // A kind whose file cannot be opened is told once, with the reason, the
    // first time the kind is chosen; switching back says nothing more.
    void anUnopenableKindIsToldOncePerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("practical") << 1 << "QELMEXE2.DAT";
        QTest::newRow("brief") << 2 << "QELMEXE3.DAT";
    }
    void anUnopenableKindIsToldOncePerKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        const QString path = m_gui.bank->filePath(name);
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path));
        const QString told =
            QStringLiteral("No se puede abrir el fichero %1. Motivo: %1 no es un fichero de datos.")
                .arg(name);
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(told)},
                                             [&] {
                                                 chooseKind(kind);
                                                 chooseKind(0);
                                                 chooseKind(kind);
                                             }),
                 QString());
    }

    void opensOnConceptualChapterOneWithRowsSizedToTheirText()
    {
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral(
                     "Selección de preguntas de exposición: conceptuales / prácticas / breves"));
        QCOMPARE(m_gui.main->statusText,
                 QStringLiteral(
                     "Seleccionar preguntas de exposición: conceptuales / prácticas / breves"));
        QCOMPARE(m_window->findChild<QGroupBox *>("Frame1")->title(),
                 QStringLiteral("Tipo de pregunta"));
        QStringList captions;
        for (int k = 0; k < 3; ++k)
            captions
                << m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(k))->text();
        QCOMPARE(captions, (QStringList{"Conceptual", "Práctica", "Breve"}));
        QVERIFY(m_window->findChild<QRadioButton *>("Option1_0")->isChecked());
        QCOMPARE(m_window->findChild<QListWidget *>("List1")->count(), 22);
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(label3(), QStringLiteral("0"));

        QCOMPARE(grid("Grid3")->rows(), 5);
        QCOMPARE(texts("Grid3", 4), (QStringList{kC50, kC230, kC110, QString()}));
        QCOMPARE(heights("Grid3", 4), (QList<int>{28, 51, 37, 30})); // 420, 760, 560, 450 twips
        const QStringList headers{"PREGUNTAS CONCEPTUALES", "PREGUNTAS PRÁCTICAS ",
                                  "PREGUNTAS BREVES"};
        for (int k = 0; k < 3; ++k) {
            FlexGrid *g = grid(QStringLiteral("Grid1_%1").arg(k));
            QCOMPARE(g->textMatrix(0, 1), headers[k]);
            QCOMPARE(g->rows(), 101);
            QCOMPARE(g->textMatrix(100, 0), QStringLiteral("100"));
            QCOMPARE(g->isVisible(), k == 0);
            QCOMPARE(g->geometry(), grid("Grid1_0")->geometry());
        }

        // Selected rows take the selected grid's heights; the header and a
        // filler row add nothing, and below the last entry nothing happens.
        for (int row : {2, 1, 3})
            doubleClick("Grid3", row, 1);
        QCOMPARE(grid("Grid3")->row(), 0);
        MessageBoxResponder responder; // no box may come up
        doubleClick("Grid3", 0, 1);
        doubleClick("Grid3", 4, 1);
        doubleClick("Grid1_0", 4, 1);
        doubleClick("Grid1_0", 0, 1);
        QCOMPARE(texts("Grid1_0", 4), (QStringList{kC230, kC50, kC110, QString()}));
        QCOMPARE(heights("Grid1_0", 4), (QList<int>{55, 30, 42, 30})); // 830, 450, 630, 450 twips
        QCOMPARE(label3(), QStringLiteral("3"));

        // Removing moves the texts below up with their heights.
        doubleClick("Grid1_0", 2, 1);
        QCOMPARE(texts("Grid1_0", 3), (QStringList{kC230, kC110, QString()}));
        QCOMPARE(heights("Grid1_0", 3), (QList<int>{55, 42, 30}));
        QCOMPARE(label3(), QStringLiteral("2"));
        doubleClick("Grid1_0", 1, 1);
        QCOMPARE(texts("Grid1_0", 2), (QStringList{kC110, QString()}));
        QCOMPARE(heights("Grid1_0", 2), (QList<int>{42, 30}));
        QCOMPARE(responder.seen(), 0);
        QCOMPARE(grid("Grid1_0")->row(), 0);
    }

    void eachKindKeepsItsSelectionAcrossSwitches()
    {
        const auto output = [] { return Forms::findAs<Impres>(Impres::kName); };
        const auto handOver = [&] {
            QTest::mouseClick(m_window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
            QCOMPARE(m_gui.main->statusText, QStringLiteral("Imprimir examen"));
        };
        const auto back = [&] {
            QTest::mouseClick(output()->findChild<QPushButton *>("Command2"), Qt::LeftButton);
            QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
            QCOMPARE(m_gui.main->statusText,
                     QStringLiteral("Seleccionar preguntas de exposición: conceptuales / "
                                    "prácticas / breves"));
        };
        // Nothing selected: the header block alone is handed over.
        handOver();
        QCOMPARE(output()->text().toUtf8(), kHeader);
        back();

        for (int row : {1, 2, 3})
            doubleClick("Grid3", row, 1);
        chooseChapter(2);
        chooseKind(2);
        QCOMPARE(m_window->currentChapter(), 1); // a kind switch goes back to chapter 1
        QCOMPARE(label3(), QStringLiteral("0"));
        QVERIFY(grid("Grid1_2")->isVisible() && !grid("Grid1_0")->isVisible());
        QCOMPARE(texts("Grid3", 4),
                 (QStringList{"Mercado meta", "Posicionamiento", QString(), QString()}));
        chooseChapter(2);
        QCOMPARE(grid("Grid3")->rows(), 8); // seven questions, no filler
        doubleClick("Grid3", 7, 1);
        chooseChapter(1);
        doubleClick("Grid3", 2, 1);
        QCOMPARE(OpenFiles::count(), 1); // only the brief file

        chooseKind(0);
        QCOMPARE(label3(), QStringLiteral("3"));
        QCOMPARE(texts("Grid1_0", 3), (QStringList{kC50, kC230, kC110}));
        chooseKind(2);
        QCOMPARE(texts("Grid1_2", 2),
                 (QStringList{"Concepto 7 del capítulo 2", "Posicionamiento"}));
        QCOMPARE(m_window->selectedCount(ExpositionKind::Practical), 0);

        // To the output window and back: everything is as it was.
        handOver();
        QCOMPARE(ReturnWindowName, QStringLiteral("Examselec"));
        QCOMPARE(output()->text().toUtf8(),
                 kHeader + "A. PREGUNTAS CONCEPTUALES:\r\n\r\n 1. " + kC50.toUtf8() +
                     "\r\n\r\n 2. " + kC230.toUtf8() + "\r\n\r\n 3. " + kC110.toUtf8() +
                     "\r\n\r\n"
                     "\r\nC. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:\r\n\r\n"
                     " 1. Concepto 7 del cap\xC3\xADtulo 2\r\n 2. Posicionamiento\r\n");
        back();
        QCOMPARE(int(m_window->currentKind()), 2);
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(texts("Grid1_2", 2),
                 (QStringList{"Concepto 7 del capítulo 2", "Posicionamiento"}));
        QCOMPARE(m_window->selectedCount(ExpositionKind::Conceptual), 3);
    }

    // Each question added is scrolled into view, up to the 100th of its kind.
    void theHundredthQuestionOfAKindIsTheLast()
    {
        QTableWidget *table = grid("Grid1_0")->view();
        for (int n = 1; n <= 100; ++n) {
            grid("Grid3")->setCurrentCell(n == 100 ? 1 : 1 + n % 3, 1);
            m_window->Grid3_DblClick();
            const QRect added = table->visualRect(table->model()->index(n - 1, 0));
            QVERIFY2(table->viewport()->rect().contains(added), qPrintable(QString::number(n)));
        }
        QCOMPARE(label3(), QStringLiteral("100"));
        QCOMPARE(grid("Grid1_0")->textMatrix(100, 1), kC50);
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 100 preguntas"))},
                                             [this] {
                                                 doubleClick("Grid3", 2, 1);
                                                 chooseKind(1); // another kind still accepts
                                                 doubleClick("Grid3", 1, 1);
                                             }),
                 QString());
        QCOMPARE(grid("Grid1_0")->textMatrix(100, 1), kC50);
        QCOMPARE(m_window->selectedCount(ExpositionKind::Conceptual), 100);
        QCOMPARE(label3(), QStringLiteral("1"));
        QCOMPARE(grid("Grid1_1")->textMatrix(1, 1), kPlan);
    }

    void fitsTheScreenAndGivesExtraRoomToTheGrids()
    {
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        QTRY_COMPARE(ScreenFit::outsidePlaces(m_window), QStringList());
        QTRY_COMPARE(m_window->findChild<QListWidget *>("List1")->horizontalScrollBar()->maximum(),
                     0);

        const QStringList names{"Grid3", "Grid1_0", "Command2", "Frame1", "List1"};
        const QList<QRect> before = ScreenFit::places(m_window, names);
        m_window->resize(m_window->size() + QSize(80, 120));
        QTRY_COMPARE(ScreenFit::placeChanges(m_window, names, before),
                     (QStringList{"Grid3 0,0 +80,+60", "Grid1_0 0,60 +80,+60",
                                  "Command2 0,120 +0,+0", "Frame1 0,0 +0,+0", "List1 0,0 +0,+0"}));
        for (const char *name : {"Grid1_1", "Grid1_2"}) // the hidden kinds' grids alike
            QCOMPARE(m_window->findChild<QWidget *>(name)->geometry(),
                     m_window->findChild<QWidget *>("Grid1_0")->geometry());
    }

    void questionsAddedAndRemovedWithTheKeyboardAlone()
    {
        QCOMPARE(focusName(), QStringLiteral("List1"));
        key(Qt::Key_Tab); // List1 -> help -> Grid3
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        key(Qt::Key_Enter);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(texts("Grid1_0", 4), (QStringList{kC50, kC230, kC110, QString()}));
        QCOMPARE(label3(), QStringLiteral("3"));

        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Grid1_0"));
        QCOMPARE(grid("Grid1_0")->row(), 3); // the question added last
        key(Qt::Key_Up);
        key(Qt::Key_Delete);
        QCOMPARE(texts("Grid1_0", 3), (QStringList{kC50, kC110, QString()}));
        QCOMPARE(focusName(), QStringLiteral("Grid1_0"));
        key(Qt::Key_Return);
        QCOMPARE(texts("Grid1_0", 2), (QStringList{kC50, QString()}));
        QCOMPARE(label3(), QStringLiteral("1"));

        // Out of each grid both ways.
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("Command3"));
        QCOMPARE(KeyboardFocus::tabTo("Grid1_0"), QStringLiteral("Grid1_0"));
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Command1"));
    }

    // With questions chosen (of any kind, shown or not) the teacher is asked
    // before leaving, and anything but Aceptar keeps the window and its
    // selection. How each way of leaving reaches the question is the same for
    // every working window and tried in full on the true/false selection.
    void leavingAsksBeforeDroppingASelection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("kind");       // of the one question chosen; -1: none
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("closed");
        const QString enter = MessageBoxResponder::kEnter;
        QTest::newRow("Salir, Cancelar") << "Salir" << 1 << "Cancelar" << false;
        QTest::newRow("Salir, nothing selected") << "Salir" << -1 << QString() << true;
        QTest::newRow("Esc, Cancelar") << "Esc" << 2 << "Cancelar" << false;
        QTest::newRow("main window, Aceptar") << "main window" << 0 << "Aceptar" << true;
        QTest::newRow("close box, Enter") << "close box" << 0 << enter << false;
        QTest::newRow("close box, Aceptar") << "close box" << 2 << "Aceptar" << true;
    }
    void leavingAsksBeforeDroppingASelection()
    {
        QFETCH(QString, how);
        QFETCH(int, kind);
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        if (kind >= 0) {
            chooseKind(kind);
            doubleClick("Grid3", 1, 1);
            chooseKind((kind + 1) % 3); // a selection not shown still counts
        }
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
        QCOMPARE(m_window->selectedCount(ExpositionKind(kind)), 1);
        QVERIFY(!m_gui.main->helpButtonVisible);
    }

    void everyChapterTitleFitsItsList()
    {
        auto *chapters = m_window->findChild<QListWidget *>("List1");
        QCOMPARE(chapters->count(), 22);
        QCOMPARE(ScreenFit::overwideTitles(m_window).join(u'\n'), QString());
        QTRY_VERIFY(chapters->verticalScrollBar()->isVisible()); // laid out
        QCOMPARE(chapters->horizontalScrollBar()->maximum(), 0);
    }

    void anExamChosenKindByKindWithTheKeyboardAlone()
    {
        Orvalis *main = openTheRealMainWindow();
        QVERIFY(main);

        // Alt, then "Preguntas de exposición" / "Seleccionar preguntas".
        QTest::keyPress(main, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(main, Qt::Key_Alt, Qt::NoModifier);
        QMenuBar *bar = main->menuBar();
        QTRY_VERIFY(bar->activeAction());
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction()->objectName(), QStringLiteral("mnuExamenExposicion"));
        QTest::keyClick(bar, Qt::Key_Down);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QTRY_VERIFY(menu->activeAction());
        QCOMPARE(menu->activeAction()->objectName(), QStringLiteral("mnuSelec1"));
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY((m_window = Forms::findAs<Examselec>(Examselec::kName)) &&
                    Forms::activeForm() == m_window);
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));

        // A practical and a brief question: the option by arrow, the question by Enter.
        QCOMPARE(KeyboardFocus::tabTo("Option1_0", Qt::Key_Backtab), QStringLiteral("Option1_0"));
        key(Qt::Key_Down);
        QCOMPARE(int(m_window->currentKind()), 1);
        QCOMPARE(KeyboardFocus::tabTo("Grid3"), QStringLiteral("Grid3"));
        key(Qt::Key_Return);
        QCOMPARE(KeyboardFocus::tabTo("Option1_1", Qt::Key_Backtab), QStringLiteral("Option1_1"));
        key(Qt::Key_Down);
        QCOMPARE(int(m_window->currentKind()), 2);
        QCOMPARE(KeyboardFocus::tabTo("Grid3"), QStringLiteral("Grid3"));
        key(Qt::Key_Return);
        QCOMPARE(m_window->selectedCount(ExpositionKind::Practical), 1);
        QCOMPARE(m_window->selectedCount(ExpositionKind::Brief), 1);

        QCOMPARE(KeyboardFocus::tabTo("Command1"), QStringLiteral("Command1"));
        key(Qt::Key_Return);
        const auto output = [] { return Forms::findAs<Impres>(Impres::kName); };
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        QCOMPARE(output()->text().toUtf8(), kHeader + "\r\nB. PREGUNTAS PR\xC3\x81"
                                                      "CTICAS:\r\n\r\n 1. Dise\xC3\xB1"
                                                      "e un plan de precios.\r\n\r\n"
                                                      "\r\nC. DEFINA BREVEMENTE LOS SIGUIENTES "
                                                      "CONCEPTOS:\r\n\r\n 1. Mercado meta\r\n");
        QTRY_VERIFY(QApplication::focusWidget());
        key(Qt::Key_S, Qt::AltModifier); // "Salir de impresión"
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QTRY_VERIFY(QApplication::focusWidget());

        QCOMPARE(KeyboardFocus::tabTo("Command2"), QStringLiteral("Command2"));
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::question(kLeave, "Aceptar")},
                                             [] { key(Qt::Key_Space); }),
                 QString());
        QTRY_VERIFY(!m_window);
    }
};

QTEST_MAIN(tst_Examselec)
#include "tst_Examselec.moc"
