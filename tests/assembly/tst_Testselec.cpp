// The true/false selection window driven as a teacher drives it: the
// 500-question limit, a bank changed or spoilt under it, an exam drawn to a
// plan, the template button, and a whole exam from the real main window's
// menu to the clipboard, a file and the printer by keyboard alone, its
// questions then marked as used.
#include "BankFolders.h"
#include "ExamHistory.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"
#include "SaveDialogResponder.h"
#include "SheetRecords.h"
#include "TestFiles.h"
#include "Testselec.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace GuiTest;

namespace {
const QString kA = QStringLiteral("|La demanda de un bien suele bajar cuando sube su precio.|Sí");
const QString kB = QStringLiteral("|El precio no influye nunca en la demanda.|No");
const QString kTopic2 = QStringLiteral("Necesidades, deseos y demanda"); // chapter 1, topic 2
} // namespace

class tst_Testselec : public QObject
{
    Q_OBJECT

    GuiFixture<TrueFalseBankFixture> m_gui;
    QPointer<Testselec> m_window;

    FlexGrid *grid(const char *name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    Impres *output() const { return Forms::findAs<Impres>(Impres::kName); }
    void doubleClick(const char *name, int row) { QVERIFY(clickCell(grid(name), row, 1, true)); }
    // Rows 1..count of a grid, each as "number|text|answer".
    QStringList rows(const char *name, int count) const
    {
        QStringList shown;
        const FlexGrid *g = grid(name);
        for (int r = 1; r <= count; ++r)
            shown << g->textMatrix(r, 0) + u'|' + g->textMatrix(r, 1) + u'|' + g->textMatrix(r, 2);
        return shown;
    }
    void showWindow()
    {
        registerWindows<Testselec, Impres>();
        QVERIFY(m_window = m_gui.open<Testselec>(Testselec::kName));
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(m_gui.setUp());
        showWindow();
    }
    void cleanup() { m_gui.tearDown(); }

    // Thirty marked sheets of an earlier exam (the two questions of topic 1
    // and one of topic 2; keys Sí, No, Sí), six each of SSS, SSS, SNS, NNS,
    // NNN. Each question of topic 1 is right 18 times of 30; the first goes
    // slightly against the rest (−0,17), no warning yet; the second clearly
    // (−0,61), which earns "!".
    void theMarksOfAnEarlierExamShowBesideItsQuestions()
    {
        ExamHistory history;
        HistoryExam exam{0, QDateTime({2026, 6, 12}, {9, 0}), false, "Parcial", 1, 0, {}};
        // Recorded before the history kept answers: the bank gives them.
        exam.questions = {{QuestionKind::TrueFalse, 1, 1, kA.section(u'|', 1, 1), std::nullopt},
                          {QuestionKind::TrueFalse, 1, 1, kB.section(u'|', 1, 1), std::nullopt},
                          {QuestionKind::TrueFalse, 1, 2, "Pregunta 1 del tema 2", std::nullopt}};
        QVERIFY(history.record(exam).isEmpty());
        QList<sheetRecords::StoredSheet> sheets;
        for (int copy = 0; copy < 6; ++copy)
            for (const char *answers : {"SSS", "SSS", "SNS", "NNS", "NNN"})
                sheets.append({0, int(sheets.size()) + 1, "1", answers, {1, 2, 3}, "e.pdf", 1});
        QVERIFY(sheetRecords::store(history, exam.id, sheets, {}).isEmpty());
        auto *topics = m_window->findChild<QListWidget *>("List2");
        topics->setCurrentRow(1);
        topics->setCurrentRow(0);
        QCOMPARE(grid("Grid3")->textMatrix(1, 0) + grid("Grid3")->textMatrix(2, 0), "1•2•!");
        QCOMPARE(grid("Grid3")->cellToolTip(2, 0),
                 "Usada en: Parcial (12/06/2026)\nAcertada por el 60 % (1 examen, 30 alumnos) · "
                 "discrimina -0,61\nDiscriminación negativa: revise la respuesta o la redacción");
    }

    // Each question added is scrolled into view, up to the 500th; one more is refused.
    void aFiveHundredAndFirstQuestionIsRefused()
    {
        QTableWidget *table = grid("Grid1")->view();
        for (int n = 1; n <= 500; ++n) {
            grid("Grid3")->setCurrentCell(1 + n % 2, 1);
            m_window->Grid3_DblClick();
            QVERIFY(table->viewport()->rect().contains(
                table->visualRect(table->model()->index(n - 1, 0))));
        }
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 500 preguntas"))},
                                             [this] { doubleClick("Grid3", 2); }),
                 QString());
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(rows("Grid1", 500).last(), "500" + kA);
    }

    // The next listing shows the file as another program left it; what it
    // cannot show is told once, when the window opens.
    void aBankChangedOrSpoiltElsewhere_data()
    {
        // Told when the window opens again; empty: the file replaced instead.
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("shown");
        // clang-format off
        QTest::newRow("replaced") << "" << QStringList{"1" + kB, "2||"};
        QTest::newRow("folder") << "No se puede abrir el fichero QELMEXT2.DAT. Motivo: " "QELMEXT2.DAT no es un fichero de datos." << QStringList{"1||"};
        // clang-format on
    }
    void aBankChangedOrSpoiltElsewhere()
    {
        QFETCH(QString, message);
        QFETCH(QStringList, shown);
        const QString path = m_gui.bank->filePath(QStringLiteral("QELMEXT2.DAT"));
        QList<MessageBoxResponder::Box> boxes;
        if (message.isEmpty()) {
            QVERIFY(replaceFile(path, testFiles::readFile(path).mid(256)));
        } else {
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
            boxes << MessageBoxResponder::notice(message);
            Forms::reset();
            closeAllFiles();
        }
        const auto relist = [&] {
            if (!message.isEmpty())
                showWindow();
            m_window->findChild<QListWidget *>("List1")->setCurrentRow(1);
            m_window->findChild<QListWidget *>("List1")->setCurrentRow(0);
        };
        QCOMPARE(MessageBoxResponder::answer(boxes, relist), QString());
        QCOMPARE(rows("Grid3", shown.size()), shown);
    }

    // Alt+B and a few words list the questions that hold them, in bank order;
    // Esc closes the list, not the window; Down and Enter reach one in
    // another topic, which Enter then adds. The field and its list lie
    // inside the window on every screen.
    void aQuestionFoundByKeyboardIsAdded()
    {
        key(Qt::Key_B, Qt::AltModifier); // the words typed then reach the field
        auto *results = m_window->findChild<QListWidget *>("BuscarResultados");
        QTest::keyClicks(QApplication::focusWidget(), "Pr");
        QVERIFY(!results->isVisible());
        QTest::keyClicks(QApplication::focusWidget(), "ÉG TEMA");
        QStringList listed;
        for (int i = 0; i < results->count(); ++i)
            listed << results->item(i)->text();
        QCOMPARE(listed, (QStringList{"Capítulo 1, tema 2: Pregunta 1 del tema 2",
                                      "Capítulo 1, tema 2: Pregunta 2 del tema 2",
                                      "Capítulo 1, tema 2: Pregunta 3 del tema 2"}));
        QVERIFY(results->isVisible() && m_window->rect().contains(results->geometry()) &&
                m_window->rect().contains(QApplication::focusWidget()->geometry()));
        key(Qt::Key_Escape);
        QVERIFY(!results->isVisible() && m_window->isVisible());
        QTest::keyClicks(QApplication::focusWidget(), " 2");
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(m_window->currentTopic(), 2);
        key(Qt::Key_Return); // adds only with the focus on that topic's listing
        QCOMPARE(rows("Grid1", 1), QStringList{"1|Pregunta 2 del tema 2|No"});
    }

    // Alt+Z draws to a plan; one that overflows the selection is refused, a
    // short line is told, Cancelar goes back to the plan; the questions
    // drawn follow the one already selected in chapter and topic order.
    void aDrawToAPlanFillsTheSelection()
    {
        doubleClick("Grid3", 2);
        // Alt+Z presses the button a moment later: the dialog is driven once it is up.
        QTimer driver;
        bool driven = false;
        QStringList covered;
        connect(&driver, &QTimer::timeout, this, [&driven, &covered] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != "Azar" || std::exchange(driven, true))
                return;
            // On every screen the plan leaves the options under it in view.
            const QRect plan = dialog->findChild<QWidget *>("Plan")->geometry();
            for (const QWidget *option :
                 dialog->findChildren<QWidget *>(QRegularExpression("^(Meses|Clave)$")))
                if (plan.intersects(option->geometry()))
                    covered << option->objectName();
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                if (label->parent() == dialog && plan.intersects(label->geometry()))
                    covered << label->text();
            if (!dialog->screen()->availableGeometry().contains(dialog->frameGeometry()))
                covered << "la pantalla";
            // Every chapter and topic of the plan has its counts and its difficulty.
            auto *tree = dialog->findChild<QTreeWidget *>("Plan");
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                for (int column = 1; column < tree->columnCount(); ++column)
                    if (!tree->itemWidget(*it, column))
                        covered << (*it)->text(0);
            dialog->findChild<QSpinBox *>("Cantidad_0_1_2")->setValue(4);
            dialog->findChild<QSpinBox *>("Cantidad_0_1_0")->setValue(500);
            dialog->accept();
            dialog->findChild<QSpinBox *>("Cantidad_0_1_0")->setValue(3);
            dialog->accept(); // back to the plan, which the draw after it proves
            dialog->accept();
        });
        driver.start(20);
        // Each short line named as the plan lists it, with what took the others.
        const QString shortage =
            "No hay tantas preguntas como se piden:\n\nCapítulo 1, «" + kTopic2 +
            "»: se piden 4 y hay 3\nCapítulo 1: se piden 3 y quedan 1 (1 ya seleccionada, 3 ya "
            "elegidas en otras líneas del plan)\n\nPulse Aceptar para elegir las que hay o "
            "Cancelar para volver al plan.";
        QCOMPARE(MessageBoxResponder::answer(
                     {MessageBoxResponder::notice("Se piden 504 preguntas, pero en la selección "
                                                  "solo caben 499 más (admite 500)."),
                      MessageBoxResponder::question(shortage, "Cancelar"),
                      MessageBoxResponder::question(shortage, "Aceptar")},
                     [] { key(Qt::Key_Z, Qt::AltModifier); }),
                 QString());
        QCOMPARE(covered, QStringList()); // nothing drawn over, nothing left without a control
        QCOMPARE(rows("Grid1", 6),
                 (QStringList{"1" + kB, "2" + kA, "3|Pregunta 1 del tema 2|Sí",
                              "4|Pregunta 2 del tema 2|No", "5|Pregunta 3 del tema 2|Sí", "6||"}));
        // A double-click takes a question out and leaves the keyboard on the topics.
        doubleClick("Grid1", 1);
        QCOMPARE(m_window->focusWidget()->objectName(), QStringLiteral("List2"));
        QCOMPARE(rows("Grid1", 1), QStringList{"1" + kA});
    }

    // Right after an exam, the draw says beside its months how many of the
    // questions of the lines asked for are left out, and that 0 leaves none.
    void theMonthsNoteSaysWhatRecentExamsLeaveOut()
    {
        ExamHistory history;
        HistoryExam exam{0, QDateTime::currentDateTime(), false, "Parcial", 1, 0, {}};
        exam.questions = {{QuestionKind::TrueFalse, 1, 1, kB.section(u'|', 1, 1), false}};
        QVERIFY(history.record(exam).isEmpty());
        QStringList notes;
        QTimer::singleShot(0, this, [&notes] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            const auto *note = dialog->findChild<QLabel *>("NotaMeses");
            notes << note->text();
            dialog->findChild<QSpinBox *>("Cantidad_0_1_1")->setValue(2);
            notes << note->text();
            dialog->findChild<QSpinBox *>("Meses")->setValue(0);
            notes << note->text();
            dialog->reject();
        });
        click(m_window, "CommandAzar");
        QCOMPARE(notes, (QStringList{"Se dejan fuera las preguntas de los exámenes de esos meses; "
                                     "con 0 meses, ninguna.",
                                     "Preguntas de las líneas pedidas que se dejan fuera ahora: 1 "
                                     "de 2. Con 0 meses, ninguna.",
                                     "No se deja fuera ninguna pregunta por haber salido en un "
                                     "examen."}));
    }

    // "Imprimir plantilla" hands the answer template to the output window.
    void thePlantillaButtonHandsOverTheAnswers()
    {
        doubleClick("Grid3", 2);
        click(m_window, "Command5");
        QTRY_VERIFY(output());
        QCOMPARE(output()->text(),
                 "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas "
                 "correctas\r\n\r\nSí( ) No(•)  -  El precio no influye nunca en la demanda.\r\n");
    }

    // From the menu bar to the clipboard, a file and the printer and out
    // again, by keys only; the grids keep the focus while questions go in
    // and out; the main and output windows fit the screen.
    void aWholeExamWithTheKeyboardAlone()
    {
        const QScreen *screen = QGuiApplication::primaryScreen(); // the one this run expects
        const QSize device = screen->geometry().size() * screen->devicePixelRatio();
        if (qEnvironmentVariableIsSet("ORVALIS_SCREEN"))
            QCOMPARE(QStringLiteral("%1x%2@%3")
                         .arg(device.width())
                         .arg(device.height())
                         .arg(screen->devicePixelRatio()),
                     qEnvironmentVariable("ORVALIS_SCREEN"));
        m_gui.dropStandIn();
        registerWindows<Testselec, Impres>();
        Orvalis *main = RealMainWindow::open();
        QVERIFY(main);
        QTemporaryDir printed;
        const QString pdf = printed.filePath(QStringLiteral("examen.pdf"));
        printTo(pdf);

        // "Preguntas tipo test" / "Seleccionar preguntas" by their access keys.
        QTest::keyClick(main, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
        QTRY_VERIFY((m_window = Forms::findAs<Testselec>(Testselec::kName)) &&
                    Forms::activeForm() == m_window);
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));

        // Enter adds (a filler row adds nothing), Delete removes, focus stays.
        QCOMPARE(tabTo("Grid3"), QStringLiteral("Grid3"));
        for (Qt::Key k : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Enter, Qt::Key_Down, Qt::Key_Return,
                          Qt::Key_Tab, Qt::Key_Delete})
            key(k);
        QCOMPARE(focusName(), QStringLiteral("Grid1"));
        QCOMPARE(rows("Grid1", 2), (QStringList{"1" + kB, "2||"}));
        for (Qt::Key k : {Qt::Key_Backtab, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return})
            key(k);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));
        QCOMPARE(tabTo("Command1"), QStringLiteral("Command1"));
        key(Qt::Key_Return);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        QCOMPARE(output()->text(),
                 "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\nSí( ) No( )  -  El precio "
                 "no influye nunca en la demanda.\r\nSí( ) No( )  -  La demanda de un bien "
                 "suele bajar cuando sube su precio.\r\n");
        QTRY_VERIFY(main->screen()->availableGeometry().contains(main->frameGeometry()));
        const QWidget *outputFrame = output()->parentWidget();
        QVERIFY(outputFrame->parentWidget()->rect().contains(outputFrame->geometry()));

        const auto pressAnswering = [](Qt::Key letter, const QString &box) {
            QTRY_VERIFY(QApplication::focusWidget());
            QCOMPARE(MessageBoxResponder::answer(
                         {MessageBoxResponder::notice(box, MessageBoxResponder::kEnter)},
                         [letter] { key(letter, Qt::AltModifier); }),
                     QString());
        };
        pressAnswering(Qt::Key_P, QStringLiteral("Texto transferido al portapapeles…"));
        SaveDialogResponder dialog;
        dialog.name = QStringLiteral("examen.txt");
        pressAnswering(Qt::Key_F, QStringLiteral("Fichero guardado como: …"));
        QTRY_VERIFY(QApplication::focusWidget());
        key(Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(QFile::exists(pdf));
        QCOMPARE(main->statusPanelText(3),
                 QStringLiteral("Examen enviado a la impresora ") + QDir::toNativeSeparators(pdf));

        key(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QCOMPARE(label3(), QStringLiteral("2"));

        // Its questions are marked as used in the listing shown again.
        QCOMPARE(rows("Grid3", 2), (QStringList{"1•" + kA, "2•" + kB}));
    }
};

QTEST_MAIN(tst_Testselec)
#include "tst_Testselec.moc"
