// The marking window driven as a teacher drives it: scans chosen, the exam
// found from the sheets' codes, progress to the last page, the grades
// listed and sorted, a doubtful DNI and a question with both boxes crossed
// settled by keyboard while looking at the crop (the decisions kept in the
// history, the grade following), the grades saved as the command line
// writes them, the report; and a marking cancelled that leaves the history
// as it was.

#include "Ayuda.h"
#include "BankFolders.h"
#include "Correccion.h"
#include "GuiFixture.h"
#include "MarkedSheets.h"
#include "MessageBoxResponder.h"
#include "SaveDialogResponder.h"
#include "ScanGenerator.h"
#include "SheetLayout.h"
#include "SheetRecords.h"
#include "TestFiles.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

using namespace GuiTest;

class tst_Correccion : public QObject
{
    Q_OBJECT

    GuiFixture<TrueFalseBankFixture> m_gui;
    QPointer<Correccion> m_window;
    QStringList m_scans;
    qint64 m_exam = 0;

    template <class T> T *control(const char *name) const { return m_window->findChild<T *>(name); }
    void click(const char *name) { control<QPushButton>(name)->click(); }
    QString label(const char *name) const { return control<QLabel>(name)->text(); }
    QString cellText(int row, int column) const
    {
        return control<QTableWidget>("GridNotas")->item(row, column)->text();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The exam: the bank's "La demanda…" (Sí), "El precio…" (No) and
    // "Pregunta 1 del tema 2" (Sí); three sheets, the second with two digits
    // in a DNI column, the third with both boxes of question 1 crossed.
    void init()
    {
        QVERIFY(m_gui.setUp());
        ExamHistory history;
        HistoryExam exam{0, QDateTime::currentDateTime(), false, "Parcial", 1, 0, {}};
        exam.questions = {{QuestionKind::TrueFalse, 1, 1,
                           "La demanda de un bien suele bajar cuando sube su precio.",
                           std::nullopt},
                          {QuestionKind::TrueFalse, 1, 1,
                           "El precio no influye nunca en la demanda.", std::nullopt},
                          {QuestionKind::TrueFalse, 1, 2, "Pregunta 1 del tema 2", std::nullopt}};
        QCOMPARE(history.record(exam), QString());
        m_exam = exam.id;
        QString error;
        const std::optional<quint32> identifier = sheetRecords::identifier(history, m_exam, &error);
        QVERIFY2(identifier, qPrintable(error));
        const SheetSet set{m_exam, *identifier, "Parcial", 1, 3, 1, 1};
        QRandomGenerator random(7);
        m_scans.clear();
        const QStringList answers{"SNS", "NNS", "SNS"};
        for (int serial = 1; serial <= 3; ++serial) {
            scanGenerator::Marked marked = scanGenerator::scan(
                set, 0, serial, 0, answers[serial - 1], QString("0000000%1").arg(serial), 150,
                {scanGenerator::Pen::Cross}, {}, {}, false, random);
            // A cross over another box: sheet 3's "No" of question 1 (both
            // boxes marked), sheet 2's digit 5 in the DNI's last column (two
            // digits). The generator lays the page on a glass 10 mm larger.
            if (serial > 1) {
                const double px = 150 / 25.4;
                const QRectF box =
                    (serial == 3 ? SheetLayout(3).answerBox(0, false) : SheetLayout::dniBox(7, 5))
                        .translated(10, 10);
                const cv::Point a(int((box.left() + 1.2) * px), int((box.top() + 1.2) * px));
                const cv::Point b(int((box.right() - 1.2) * px), int((box.bottom() - 1.2) * px));
                cv::line(marked.scan, a, b, 0, 2);
                cv::line(marked.scan, {a.x, b.y}, {b.x, a.y}, 0, 2);
            }
            m_scans << m_gui.bank->filePath(QString("hoja%1.png").arg(serial));
            QVERIFY(cv::imwrite(m_scans.last().toStdString(), marked.scan));
        }
        registerWindows<Correccion, Ayuda>();
        m_window = m_gui.open<Correccion>(Correccion::kName);
        QVERIFY(m_window);
        Correccion::setOpenAnswerForTesting([this](const QString &) { return m_scans; });
        click("CommandEscaneos");
        QCOMPARE(label("LabelEscaneos"), "hoja1.png, hoja2.png, hoja3.png");
    }
    void cleanup()
    {
        Correccion::setOpenAnswerForTesting({});
        m_gui.tearDown();
    }

    // The help button (which F1 presses) shows the window's own help;
    // closing help comes back to the window with its scans still chosen.
    void helpTellsHowToMarkAndLeavesTheWindowOpen()
    {
        click("CommandAyuda");
        QWidget *help = nullptr;
        QTRY_VERIFY((help = Forms::find(Ayuda::kName)));
        QCOMPARE(help->findChild<QPlainTextEdit *>("Text1")->toPlainText().section(u'\n', 0, 0),
                 "CORRECCIÓN DE LAS HOJAS DE RESPUESTAS");
        GuiTest::click(help, "Command1");
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QCOMPARE(label("LabelEscaneos"), "hoja1.png, hoja2.png, hoja3.png");
    }

    void aPileIsMarkedAndItsDoubtSettledByKeyboard()
    {
        QCOMPARE(control<QComboBox>("ComboExamen")->currentData().toLongLong(), 0);
        click("CommandCorregir");
        auto *grades = control<QTableWidget>("GridNotas");
        QTRY_COMPARE_WITH_TIMEOUT(grades->rowCount(), 3, 60000);
        QCOMPARE(control<QProgressBar>("ProgressBar1")->value(), 3);
        QCOMPARE(control<QProgressBar>("ProgressBar1")->maximum(), 3);
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << QStringList{cellText(row, 0), cellText(row, 3), cellText(row, 4),
                                 cellText(row, 6), cellText(row, 8), cellText(row, 9)}
                         .join('|');
        QCOMPARE(shown,
                 (QStringList{"00000001|3|0|0|10,00|Corregida", "0000000?|2|1|0|3,33|⚠ Pendiente",
                              "00000003|2|0|1||⚠ Pendiente"}));
        QVERIFY(grades->item(2, 0)->font().bold());

        // The DNI typed as it is seen; then the Sí box of question 1 marked,
        // the No box blank: the answer is Sí.
        QVERIFY(label("LabelDuda").contains("(0000000?)"));
        QVERIFY(label("LabelDuda").endsWith("(quedan 2 marcas dudosas)"));
        // The DNI's crop holds the whole grid, its ten rows under the written
        // digits (about as tall as wide); a question's, one row of boxes.
        const auto cropShape = [this] {
            const QSize shown = control<QLabel>("ImageRecorte")->pixmap().size();
            return shown.isEmpty() ? 0.0 : double(shown.height()) / shown.width();
        };
        QVERIFY2(cropShape() > 0.9, qPrintable(QString::number(cropShape())));
        QTRY_COMPARE(QApplication::focusWidget(), control<QLineEdit>("TextDni"));
        QTest::keyClicks(QApplication::focusWidget(), "00000002");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(label("LabelDuda")
                    .contains("pregunta 1: ¿está marcada la casilla «Sí»? (queda 1 marca dudosa)"));
        QVERIFY2(cropShape() > 0 && cropShape() < 0.5, qPrintable(QString::number(cropShape())));
        QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>("CommandMarcada"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M);
        QVERIFY(label("LabelDuda").contains("«No»? (queda 1 marca dudosa)"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
        QCOMPARE(label("LabelDuda"), "Ninguna marca dudosa");
        // Sorted by grade: a number, not a text ("10,00" before "3,33").
        grades->sortItems(8, Qt::AscendingOrder);
        QCOMPARE(cellText(0, 0) + "|" + cellText(0, 8) + "|" + cellText(1, 8) + "|" +
                     cellText(2, 8) + "|" + cellText(2, 9),
                 "00000002|3,33|10,00|10,00|Corregida");

        SaveDialogResponder dialog;
        dialog.name = "notas.csv";
        click("CommandNotas");
        QCOMPARE(dialog.filters, (QStringList{"CSV (*.csv)", "Libro de Excel (*.xlsx)"}));
        QFile csv(m_gui.bank->filePath("notas.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n");
        QCOMPARE(lines.value(3).section(';', 0, 7) + ";" + lines.value(3).section(';', 10),
                 "00000003;A;3;0;0;0;3,00;10,00;S;N;S");
        dialog.name = "notas.xlsx"; // a workbook, by its name
        click("CommandNotas");
        QCOMPARE(testFiles::readFile(m_gui.bank->filePath("notas.xlsx")).left(4), "PK\x03\x04");

        // The report: the figures and each question with its text.
        dialog.name = "informe.pdf";
        click("CommandInforme");
        const QString report =
            testFiles::outputOf("pdftotext", {m_gui.bank->filePath("informe.pdf"), "-"})
                .simplified();
        QVERIFY2(report.contains("Consistencia (KR-20)") &&
                     report.contains("Pregunta 1 del tema 2"),
                 qPrintable(report));

        // Opened again, the window offers the last marking, which comes back
        // with every decision made.
        click("CommandSalir");
        QTRY_VERIFY(!m_window);
        m_window = m_gui.open<Correccion>(Correccion::kName);
        QVERIFY(m_window);
        QCOMPARE(label("LabelEscaneos"), "hoja1.png, hoja2.png, hoja3.png");
        QCOMPARE(control<QComboBox>("ComboExamen")->currentData().toLongLong(), m_exam);
        click("CommandCorregir");
        QTRY_COMPARE_WITH_TIMEOUT(control<QTableWidget>("GridNotas")->rowCount(), 3, 60000);
        QCOMPARE(label("LabelDuda"), "Ninguna marca dudosa");
        QCOMPARE(label("LabelEstado"), "3 hojas corregidas, 0 pendientes, 0 páginas rechazadas.");
    }

    // After the marking, what the teacher changes shows at once and nothing
    // is hidden: a page refused stays listed, a new penalty regrades, a class
    // list names the sheets, flags a DNI not on it and names who has no
    // sheet; S in the DNI field goes on to the next mark; the review says
    // which sheets it holds; leaving with sheets pending asks.
    void whatTheTeacherChangesShowsAtOnce()
    {
        QVERIFY(control<QProgressBar>("ProgressBar1")->text().isEmpty());
        m_scans << m_gui.bank->filePath("nada.png"); // a blank page
        QVERIFY(cv::imwrite(m_scans.last().toStdString(), cv::Mat(1200, 850, CV_8UC1, 250)));
        click("CommandEscaneos");
        click("CommandCorregir");
        auto *grades = control<QTableWidget>("GridNotas");
        QTRY_COMPARE_WITH_TIMEOUT(grades->rowCount(), 3, 60000);
        QCOMPARE(label("LabelEstado"), "1 hoja corregida, 2 pendientes, 1 página rechazada.");
        QCOMPARE(control<QListWidget>("ListRechazadas")->item(0)->text(),
                 "página 1 de " + m_scans.last() + ": no es una hoja de respuestas");

        // A quarter of a point off for each press of the down arrow.
        QTest::keyClick(control<QDoubleSpinBox>("TextPenalizacion"), Qt::Key_Down);
        QTest::keyClick(control<QDoubleSpinBox>("TextPenalizacion"), Qt::Key_Down);
        QCOMPARE(cellText(1, 8), "5,00"); // 2 right, 1 wrong of 3

        QVERIFY(testFiles::writeFile(m_gui.bank->filePath("alumnos.csv"),
                                     "DNI;Nombre\n00000001;Ana\n00000009;Eva\n"));
        Correccion::setOpenAnswerForTesting(
            [this](const QString &) { return QStringList{m_gui.bank->filePath("alumnos.csv")}; });
        click("CommandAlumnos");
        QCOMPARE(cellText(0, 1), "Ana");
        QCOMPARE(cellText(2, 1), "⚠ No está en la lista");
        QCOMPARE(label("LabelAusentes"), "Sin hoja (1): 00000009 Eva");

        QTRY_COMPARE(QApplication::focusWidget(), control<QLineEdit>("TextDni"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
        QVERIFY(label("LabelDuda").contains("«Sí»? (quedan 2 marcas dudosas)"));
        QCOMPARE(control<QLineEdit>("TextDni")->text(), QString());

        SaveDialogResponder dialog; // cancelled, no name given
        grades->selectRow(0);
        control<QPushButton>("CommandRevision")->setFocus(); // as a click leaves it
        click("CommandRevision");
        QCOMPARE(m_window->findChild<QFileDialog *>("GuardarRevision")->windowTitle(),
                 "Hoja de revisión de la hoja elegida (1 de 3)");
        // The keys still answer after a save dialog.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M);
        QVERIFY(label("LabelDuda").contains("«No»? (quedan 2 marcas dudosas)"));
        click("CommandSiguiente"); // left for later: the DNI comes round again
        QVERIFY(label("LabelDuda").contains("(0000000?)"));
        // Written in the background from the pages the marking kept.
        dialog.name = "revision.pdf";
        click("CommandRevision");
        QTRY_COMPARE_WITH_TIMEOUT(
            label("LabelEstado"),
            "Hoja de revisión guardada en: " + m_gui.bank->filePath("revision.pdf"), 30000);
        const QString info = testFiles::outputOf("pdfinfo", {m_gui.bank->filePath("revision.pdf")});
        QVERIFY2(info.contains(QRegularExpression("\nPages: +1\n")), qPrintable(info));
        QCOMPARE(MessageBoxResponder::answer(
                     {MessageBoxResponder::question("Quedan 2 hojas pendientes de decidir. Lo "
                                                    "decidido está anotado en el historial; lo "
                                                    "que falta se puede decidir corrigiendo de "
                                                    "nuevo los mismos escaneos. ¿Salir de todos "
                                                    "modos?",
                                                    "Cancelar")},
                     [this] { click("CommandSalir"); }),
                 QString());
        QVERIFY(m_window);
    }

    // On a laptop's screen and at 200 %, every control of the window can be
    // reached: the page scrolls to it, and it lies within the screen.
    void everyControlIsWithinReach()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // The main window, maximized, holds the window maximized.
        m_window->window()->setGeometry(screen);
        auto *scroll = control<QScrollArea>("ScrollCorreccion");
        QStringList out;
        for (QWidget *widget : m_window->findChildren<QWidget *>())
            if (!widget->objectName().isEmpty() && !widget->isWindow() && widget != scroll &&
                !scroll->isAncestorOf(widget))
                out << widget->objectName() + " outside the page";
        for (QAbstractButton *button : m_window->findChildren<QAbstractButton *>()) {
            if (button->objectName().isEmpty() || !button->isVisibleTo(m_window))
                continue;
            scroll->ensureWidgetVisible(button, 0, 0);
            const QRect shown(button->mapToGlobal(QPoint(0, 0)), button->size());
            const QRect viewport(scroll->viewport()->mapToGlobal(QPoint(0, 0)),
                                 scroll->viewport()->size());
            if (!screen.contains(shown) || !viewport.contains(shown))
                out << button->objectName();
        }
        QCOMPARE(out.join(u','), QString());
        // The doubt panel keeps two fifths of the width beside the grades.
        const double panel = control<QWidget>("FrameDuda")->width();
        QVERIFY2(panel / (panel + control<QWidget>("GridNotas")->width()) > 0.35,
                 qPrintable(QString::number(panel)));
    }

    void aCancelledMarkingLeavesTheHistoryAsItWas()
    {
        control<QComboBox>("ComboExamen")->setCurrentIndex(1);
        click("CommandCorregir");
        click("CommandCancelar");
        QTRY_COMPARE_WITH_TIMEOUT(label("LabelEstado"),
                                  "Corrección cancelada: no se ha anotado nada.", 60000);
        QCOMPARE(control<QTableWidget>("GridNotas")->rowCount(), 0);
        QVERIFY(control<QPushButton>("CommandCorregir")->isEnabled());
        QVERIFY(control<QProgressBar>("ProgressBar1")->text().isEmpty());
        ExamHistory history;
        QCOMPARE(history.open(ExamHistory::Access::ReadOnly), QString());
        QString error;
        QCOMPARE(markedSheets::read(history, 0, &error).size(), 0);
    }
};

QTEST_MAIN(tst_Correccion)
#include "tst_Correccion.moc"
