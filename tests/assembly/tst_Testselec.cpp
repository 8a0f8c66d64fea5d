// The true/false selection window driven as a teacher drives it: choosing
// chapter and topic, double-clicking questions in and out, handing the exam
// and the answer template to the output window, coming back to the same
// selection, and leaving with and without the confirmation question.
#include "FakeMainWindowServices.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "OpenFiles.h"
#include "ProgramState.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"
#include "Twips.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kLeaveQuestion =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
const QStringList kOkCancel{QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};
const QString kTopic1First =
    QStringLiteral("La demanda de un bien suele bajar cuando sube su precio.");
const QString kTopic1Second = QStringLiteral("El precio no influye nunca en la demanda.");

// A help window stand-in: the real one lands with its own subsystem.
class HelpStandIn : public Form
{
public:
    HelpStandIn() : Form(QStringLiteral("AYUDA")) { resize(300, 200); }
};

} // namespace

class tst_Testselec : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TrueFalseBankFixture> m_bank;
    std::unique_ptr<FakeMainWindowServices> m_main;
    QPointer<Testselec> m_window;

    template <class T> T *control(const QString &name) const
    {
        T *found = m_window ? m_window->findChild<T *>(name) : nullptr;
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }
    FlexGrid *grid(const QString &name) const { return control<FlexGrid>(name); }
    QString label3() const { return control<QLabel>(QStringLiteral("Label3"))->text(); }

    static void doubleClick(FlexGrid *grid, int row, int col)
    {
        const FlexGrid::CellSpot spot = grid->locateCell(row, col);
        QVERIFY(spot.widget);
        QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
    }
    void click(const QString &button)
    {
        auto *b = control<QPushButton>(button);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void chooseChapter(int chapter)
    {
        auto *list = control<QListWidget>(QStringLiteral("List1"));
        list->scrollToItem(list->item(chapter - 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(chapter - 1)).center());
    }
    void chooseTopic(int topic)
    {
        auto *list = control<QListWidget>(QStringLiteral("List2"));
        list->scrollToItem(list->item(topic - 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(topic - 1)).center());
    }
    QStringList selectedTexts() const
    {
        QStringList texts;
        FlexGrid *selected = grid(QStringLiteral("Grid1"));
        for (int row = 1; row <= m_window->selectedCount(); ++row)
            texts.append(selected->textMatrix(row, 1) + QLatin1Char('|') +
                         selected->textMatrix(row, 2));
        return texts;
    }
    void openWindow()
    {
        m_window = qobject_cast<Testselec *>(Forms::show(QStringLiteral("Testselec")));
        QVERIFY(m_window);
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
    }
    Impres *output() const { return qobject_cast<Impres *>(Forms::find(QStringLiteral("Impres"))); }

private Q_SLOTS:
    void init()
    {
        m_bank = std::make_unique<TrueFalseBankFixture>();
        QVERIFY(m_bank->isReady());
        m_main = std::make_unique<FakeMainWindowServices>();
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        Forms::registerForm(QStringLiteral("Testselec"), [] { return new Testselec; });
        Forms::registerForm(QStringLiteral("Impres"), [] { return new Impres; });
        Forms::registerForm(QStringLiteral("AYUDA"), [] { return new HelpStandIn; });
        ActiveWindowCode = ActiveWindowCodes::kMain;
        ReturnWindowName.clear();
        openWindow();
    }
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        closeAllFiles();
        m_bank.reset();
    }

    void opensOnChapterOneTopicOneWithAnEmptySelection()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Selección de preguntas tipo test"));
        auto *chapters = control<QListWidget>(QStringLiteral("List1"));
        QCOMPARE(chapters->count(), 22);
        QCOMPARE(chapters->currentRow(), 0);
        QCOMPARE(control<QListWidget>(QStringLiteral("List2"))->count(), 9);
        QCOMPARE(control<QListWidget>(QStringLiteral("List2"))->currentRow(), 0);
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(m_window->currentTopic(), 1);
        QCOMPARE(label3(), QStringLiteral("0"));
        QCOMPARE(m_main->statusText, QStringLiteral("Seleccionar preguntas tipo test"));
        QVERIFY(m_window->isWindow());

        for (const QString &name : {QStringLiteral("Grid3"), QStringLiteral("Grid1")}) {
            FlexGrid *g = grid(name);
            QCOMPARE(g->cols(), 3);
            QCOMPARE(g->textMatrix(0, 0), QStringLiteral("Nº"));
            QCOMPARE(g->textMatrix(0, 1), QStringLiteral("PREGUNTA"));
            QCOMPARE(g->textMatrix(0, 2), QStringLiteral("Resp."));
            QCOMPARE(g->colWidth(0), 360);
            QVERIFY(qAbs(g->colWidth(1) - (qRound(Twips::fromPixelsX(g->width())) - 1300)) <= 15);
            QCOMPARE(g->colWidth(2), 600);
            QCOMPARE(g->rowHeight(1), 450);
            QCOMPARE(g->row(), 0);
        }
        FlexGrid *selected = grid(QStringLiteral("Grid1"));
        QCOMPARE(selected->rows(), 501);
        QCOMPARE(selected->textMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(selected->textMatrix(500, 0), QStringLiteral("500"));
        QCOMPARE(selected->rowHeight(500), 450);
        QCOMPARE(selected->textMatrix(1, 1), QString());
    }

    // The texts the teacher reads, exactly as the window shows them.
    void showsItsCaptionsExactly()
    {
        QStringList shown;
        for (const QLabel *label : m_window->findChildren<QLabel *>())
            shown << label->text();
        for (const QPushButton *button : m_window->findChildren<QPushButton *>())
            shown << button->text();
        const QStringList expected{
            QStringLiteral("Capítulos:"),
            QStringLiteral("Temas:"),
            QStringLiteral("Preguntas disponibles:"),
            QStringLiteral(
                "(Haga \"doble clic\" sobre las preguntas que quiera incluir en el examen)"),
            QStringLiteral("Preguntas seleccionadas:"),
            QStringLiteral("(Haga \"doble clic\" sobre las preguntas que quiera eliminar)"),
            QStringLiteral("Nº de preguntas seleccionadas:"),
            QStringLiteral("Imprimir examen"),
            QStringLiteral("Imprimir plantilla de respuestas correctas"),
            QStringLiteral("Salir")};
        for (const QString &text : expected)
            QVERIFY2(shown.contains(text), qPrintable(text));
        QCOMPARE(control<QPushButton>(QStringLiteral("Command3"))->text(), QString());
    }

    void listsATopicWithAtLeastFourNumberedRows_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<int>("topicsInChapter");
        QTest::addColumn<QStringList>("listed"); // text|answer per question
        QTest::newRow("two questions") << 1 << 1 << 9
                                       << QStringList{kTopic1First + QStringLiteral("|Sí"),
                                                      kTopic1Second + QStringLiteral("|No")};
        QStringList seven;
        for (int k = 1; k <= 7; ++k)
            seven.append(QStringLiteral("Pregunta %1 del tema 2|%2")
                             .arg(k)
                             .arg(k == 1 || (k % 2 == 1 && k != 7) ? QStringLiteral("Sí")
                                                                   : QStringLiteral("No")));
        QTest::newRow("seven questions, an answer stored as 2 shows No") << 1 << 2 << 9 << seven;
        QTest::newRow("no question") << 2 << 1 << 9 << QStringList();
        QTest::newRow("chapter 4 has four topics")
            << 4 << 4 << 4
            << QStringList{QStringLiteral(
                   "Una encuesta de intención de compra ayuda a estimar la demanda.|Sí")};
    }
    void listsATopicWithAtLeastFourNumberedRows()
    {
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(int, topicsInChapter);
        QFETCH(QStringList, listed);
        chooseChapter(chapter);
        QCOMPARE(control<QListWidget>(QStringLiteral("List2"))->count(), topicsInChapter);
        QCOMPARE(m_window->currentTopic(), 1);
        chooseTopic(topic);
        QCOMPARE(m_window->currentChapter(), chapter);
        QCOMPARE(m_window->currentTopic(), topic);

        FlexGrid *available = grid(QStringLiteral("Grid3"));
        const int dataRows = qMax(4, int(listed.size()));
        QCOMPARE(available->rows(), dataRows + 1);
        QCOMPARE(available->textMatrix(0, 1), QStringLiteral("PREGUNTA"));
        for (int row = 1; row <= dataRows; ++row) {
            QCOMPARE(available->textMatrix(row, 0), QString::number(row));
            QCOMPARE(available->rowHeight(row), 450);
            const QString shown =
                available->textMatrix(row, 1) + QLatin1Char('|') + available->textMatrix(row, 2);
            QCOMPARE(shown, row <= listed.size() ? listed.at(row - 1) : QStringLiteral("|"));
        }
    }

    void doubleClickingAQuestionThreeTimesSelectsItThreeTimes()
    {
        FlexGrid *available = grid(QStringLiteral("Grid3"));
        for (int i = 0; i < 3; ++i) {
            doubleClick(available, 2, 1);
            QCOMPARE(available->row(), 0); // back on the header cell after each add
        }
        QCOMPARE(label3(), QStringLiteral("3"));
        const QString line = kTopic1Second + QStringLiteral("|No");
        QCOMPARE(selectedTexts(), (QStringList{line, line, line}));
        QVERIFY(control<QListWidget>(QStringLiteral("List2"))->hasFocus());
    }

    void doubleClickOnTheHeaderOrAFillerRowAddsNothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("header of the question column") << 0 << 1;
        QTest::newRow("filler row") << 3 << 1;
        QTest::newRow("number of a filler row") << 4 << 0;
    }
    void doubleClickOnTheHeaderOrAFillerRowAddsNothing()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        MessageBoxResponder responder; // any box would be a failure
        doubleClick(grid(QStringLiteral("Grid3")), row, col);
        QCOMPARE(m_window->selectedCount(), 1);
        QCOMPARE(label3(), QStringLiteral("1"));
        QCOMPARE(grid(QStringLiteral("Grid1"))->textMatrix(2, 1), QString());
        QCOMPARE(responder.seen(), 0);
    }

    void doubleClickOnASelectedQuestionTakesItOut_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QStringList>("left");
        const QString a = QStringLiteral("Pregunta 1 del tema 2|Sí");
        const QString b = QStringLiteral("Pregunta 2 del tema 2|No");
        const QString c = QStringLiteral("Pregunta 3 del tema 2|Sí");
        QTest::newRow("middle row") << 2 << 1 << QStringList{a, c};
        QTest::newRow("first row, by its number") << 1 << 0 << QStringList{b, c};
        QTest::newRow("last row, answer column") << 3 << 2 << QStringList{a, b};
        QTest::newRow("empty row after the selection") << 5 << 1 << QStringList{a, b, c};
        QTest::newRow("header row") << 0 << 1 << QStringList{a, b, c};
    }
    void doubleClickOnASelectedQuestionTakesItOut()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QStringList, left);
        chooseTopic(2);
        for (int k = 1; k <= 3; ++k)
            doubleClick(grid(QStringLiteral("Grid3")), k, 1);
        QCOMPARE(label3(), QStringLiteral("3"));

        FlexGrid *selected = grid(QStringLiteral("Grid1"));
        doubleClick(selected, row, col);
        QCOMPARE(selectedTexts(), left);
        QCOMPARE(label3(), QString::number(left.size()));
        // The row after the selection is empty again, its number kept.
        QCOMPARE(selected->textMatrix(int(left.size()) + 1, 1), QString());
        QCOMPARE(selected->textMatrix(int(left.size()) + 1, 2), QString());
        QCOMPARE(selected->textMatrix(int(left.size()) + 1, 0), QString::number(left.size() + 1));
        // After a removal the header cell is current; otherwise nothing moved.
        QCOMPARE(selected->row(), left.size() < 3 ? 0 : row);
    }

    void choosingAnotherChapterOrTopicKeepsTheSelection()
    {
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        chooseChapter(4);
        chooseTopic(4);
        doubleClick(grid(QStringLiteral("Grid3")), 1, 2);
        chooseChapter(1);
        QCOMPARE(selectedTexts(),
                 (QStringList{
                     kTopic1First + QStringLiteral("|Sí"),
                     QStringLiteral(
                         "Una encuesta de intención de compra ayuda a estimar la demanda.|Sí")}));
    }

    void aFiveHundredAndFirstQuestionIsRefused()
    {
        FlexGrid *available = grid(QStringLiteral("Grid3"));
        for (int i = 0; i < 500; ++i) {
            available->setCurrentCell(1 + i % 2, 1);
            m_window->Grid3_DblClick();
        }
        QCOMPARE(label3(), QStringLiteral("500"));
        const QString last = grid(QStringLiteral("Grid1"))->textMatrix(500, 1);
        QCOMPARE(last, kTopic1Second);

        MessageBoxResponder responder;
        responder.expect(QStringLiteral("No se pueden seleccionar más de 500 preguntas"),
                         {QStringLiteral("Aceptar")}, QStringLiteral("Aceptar"));
        doubleClick(available, 1, 1);
        QVERIFY(responder.waitUntilAnswered());
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QCOMPARE(m_window->selectedCount(), 500);
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(grid(QStringLiteral("Grid1"))->textMatrix(500, 1), last);
        QCOMPARE(grid(QStringLiteral("Grid1"))->rows(), 501);

        // Room again after one is taken out.
        doubleClick(grid(QStringLiteral("Grid1")), 1, 1);
        doubleClick(available, 1, 1);
        QCOMPARE(label3(), QStringLiteral("500"));
        QCOMPARE(grid(QStringLiteral("Grid1"))->textMatrix(500, 1), kTopic1First);
    }

    void handsTheExamOverAndHidesItself_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("expected"); // UTF-8 of Text1 with CR LF
        QTest::newRow("exam")
            << QStringLiteral("Command1")
            << QByteArray("EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n"
                          "S\xC3\xAD( ) No( )  -  El precio no influye nunca en la demanda.\r\n"
                          "S\xC3\xAD( ) No( )  -  La demanda de un bien suele bajar cuando sube su "
                          "precio.\r\n");
        QTest::newRow("answer template")
            << QStringLiteral("Command5")
            << QByteArray(
                   "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas "
                   "correctas\r\n\r\n"
                   "S\xC3\xAD( ) No(\xE2\x80\xA2)  -  El precio no influye nunca en la demanda.\r\n"
                   "S\xC3\xAD(\xE2\x80\xA2) No( )  -  La demanda de un bien suele bajar cuando "
                   "sube su precio.\r\n");
    }
    void handsTheExamOverAndHidesItself()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, expected);
        doubleClick(grid(QStringLiteral("Grid3")), 2, 1);
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        MessageBoxResponder responder; // no leave question
        click(button);
        QVERIFY(output());
        QCOMPARE(output()->text().toUtf8(), expected);
        QCOMPARE(
            output()->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText().toUtf8(),
            QByteArray(expected).replace("\r\n", "\n"));
        QCOMPARE(ReturnWindowName, QStringLiteral("Testselec"));
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kTrueFalseSelection);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        QVERIFY(m_window); // hidden, not closed
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->selectedCount(), 2);
        QCOMPARE(responder.seen(), 0);
    }

    void leavingTheOutputWindowBringsBackTheSameSelection()
    {
        chooseChapter(1);
        chooseTopic(2);
        doubleClick(grid(QStringLiteral("Grid3")), 3, 1);
        doubleClick(grid(QStringLiteral("Grid3")), 7, 1);
        const QStringList before = selectedTexts();
        click(QStringLiteral("Command5"));
        QVERIFY(!m_window->isVisible());
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));

        QTest::mouseClick(output()->findChild<QPushButton *>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        QTRY_VERIFY(!output());
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);
        QTRY_VERIFY(m_window && m_window->isVisible());
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QCOMPARE(selectedTexts(), before);
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(m_window->currentTopic(), 2);
        QCOMPARE(control<QListWidget>(QStringLiteral("List2"))->currentRow(), 1);
        QCOMPARE(grid(QStringLiteral("Grid3"))->textMatrix(7, 1),
                 QStringLiteral("Pregunta 7 del tema 2"));

        // With the code at -999, the main window taking over asks the question.
        MessageBoxResponder responder;
        responder.expect(kLeaveQuestion, kOkCancel, QStringLiteral("Aceptar"));
        m_main->window.activateWindow();
        QVERIFY(responder.waitUntilAnswered());
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QTRY_VERIFY(!m_window);
    }

    void leavingWithASelectionAsksFirst_data()
    {
        QTest::addColumn<bool>("byDeactivation");
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Salir") << false << false;
        QTest::newRow("Esc") << false << true;
        QTest::newRow("main window activated") << true << false;
    }
    void leavingWithASelectionAsksFirst()
    {
        QFETCH(bool, byDeactivation);
        QFETCH(bool, byEscape);
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        m_main->helpButtonVisible = false;
        auto leave = [&] {
            if (byDeactivation)
                m_main->window.activateWindow();
            else if (byEscape)
                QTest::keyClick(m_window->focusWidget() ? m_window->focusWidget() : m_window.data(),
                                Qt::Key_Escape);
            else
                click(QStringLiteral("Command2"));
        };

        MessageBoxResponder responder;
        responder.expect(kLeaveQuestion, kOkCancel, QStringLiteral("Cancelar"));
        leave();
        QVERIFY(responder.waitUntilAnswered());
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QVERIFY(m_window->isVisible());
        QCOMPARE(label3(), QStringLiteral("1"));
        QVERIFY(OpenFiles::count() > 0);
        QVERIFY(!m_main->helpButtonVisible);

        responder.expect(kLeaveQuestion, kOkCancel, QStringLiteral("Aceptar"));
        leave();
        QVERIFY(responder.waitUntilAnswered());
        QTRY_VERIFY(!m_window);
        QCOMPARE(OpenFiles::count(), 0);
        QVERIFY(m_main->helpButtonVisible);
        QCOMPARE(m_main->statusText, QString());
        QVERIFY(m_main->focusRequests > 0);
        QCOMPARE(responder.seen(), 2);
    }

    void theCloseBoxClosesWithoutAQuestion()
    {
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        MessageBoxResponder responder;
        m_window->close();
        QTRY_VERIFY(!m_window);
        QCOMPARE(responder.seen(), 0);
        QCOMPARE(OpenFiles::count(), 0);
        QCOMPARE(m_main->statusText, QString());
    }

    void helpKeepsTheWindowOpenBehindIt()
    {
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        MessageBoxResponder responder;
        click(QStringLiteral("Command3"));
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kTrueFalseSelection);
        QWidget *help = Forms::find(QStringLiteral("AYUDA"));
        QVERIFY(help && help->isVisible());
        QTRY_COMPARE(Forms::activeForm(), help);
        QTest::qWait(50);
        QVERIFY(m_window && m_window->isVisible());
        QCOMPARE(responder.seen(), 0);
    }

    void aMissingBankFileIsCreatedEmptyAndListsFillerRowsOnly()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeAllFiles();
        QVERIFY(QFile::remove(m_bank->filePath(QStringLiteral("QELMEXT2.DAT"))));
        Forms::registerForm(QStringLiteral("Testselec"), [] { return new Testselec; });
        openWindow();
        QVERIFY(QFile::exists(m_bank->filePath(QStringLiteral("QELMEXT2.DAT"))));
        QCOMPARE(grid(QStringLiteral("Grid3"))->rows(), 5);
        doubleClick(grid(QStringLiteral("Grid3")), 1, 1);
        QCOMPARE(m_window->selectedCount(), 0);
    }
};

QTEST_MAIN(tst_Testselec)
#include "tst_Testselec.moc"
