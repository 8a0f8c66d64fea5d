// The exposition selection window: a selection per kind kept across kind
// switches and handed whole to the output window, and the 100-question limit
// of each kind.
#include "BankFolders.h"
#include "Examselec.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace GuiTest;

class tst_Examselec : public QObject
{
    Q_OBJECT

    GuiFixture<ExpositionBankFixture> m_gui;
    QPointer<Examselec> m_window;

    FlexGrid *grid(const QString &name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    void doubleClick(int row) { QVERIFY(clickCell(grid("Grid3"), row, 1, true)); }
    void chooseKind(int k) { click(m_window, QStringLiteral("Option1_%1").arg(k)); }
    void chooseChapter(int n) { m_window->findChild<QListWidget *>("List1")->setCurrentRow(n - 1); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        registerWindows<Examselec, Impres>();
        QVERIFY(m_window = m_gui.open<Examselec>(Examselec::kName));
    }
    void cleanup() { m_gui.tearDown(); }

    void eachKindKeepsItsSelectionAcrossSwitches()
    {
        // The heading holds no question: only the three below count.
        grid("Grid3")->setCurrentCell(0, 1);
        m_window->Grid3_DblClick();
        for (int row : {1, 2, 3})
            doubleClick(row);
        chooseChapter(2);
        chooseKind(2);
        QCOMPARE(m_window->currentChapter(), 1); // a kind switch goes back to chapter 1
        QCOMPARE(label3(), QStringLiteral("0"));
        QVERIFY(grid("Grid1_2")->isVisible() && !grid("Grid1_0")->isVisible());
        chooseChapter(2);
        doubleClick(7);
        chooseChapter(1);
        QCOMPARE(grid("Grid3")->textMatrix(3, 1), QString()); // nothing left of chapter 2
        doubleClick(2);
        QCOMPARE(OpenFiles::count(), 1); // only the brief file
        chooseKind(0);
        QCOMPARE(label3(), QStringLiteral("3"));
        chooseKind(2);
        click(m_window, "Command1");
        auto *output = Forms::findAs<Impres>(Impres::kName);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output));
        QCOMPARE(output->text().toUtf8(),
                 "EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICI\xC3\x93N  "
                 "\r\n================================================\r\n\r\nA. PREGUNTAS "
                 "CONCEPTUALES:\r\n\r\n 1. " +
                     ExpositionBankFixture::text("C50", 50).toUtf8() + "\r\n\r\n 2. " +
                     ExpositionBankFixture::text("C230", 230).toUtf8() + "\r\n\r\n 3. " +
                     ExpositionBankFixture::text("C110", 110).toUtf8() +
                     "\r\n\r\n\r\nC. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:\r\n\r\n 1. "
                     "Concepto 7 del cap\xC3\xADtulo 2\r\n 2. Posicionamiento\r\n");
        click(output, "Command2");
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QCOMPARE(int(m_window->currentKind()), 2);
        QCOMPARE(label3(), QStringLiteral("2"));
        // Taking out the last conceptual, a tall one, gives its row back its
        // empty height.
        chooseKind(0);
        const int tall = grid("Grid1_0")->rowHeight(3);
        QVERIFY(clickCell(grid("Grid1_0"), 3, 1, true));
        QCOMPARE(label3(), QStringLiteral("2"));
        QVERIFY(tall > 450);
        QCOMPARE(grid("Grid1_0")->rowHeight(3), 450);
        // A question taken out leaves none chosen: Supr pressed later takes out nothing.
        QVERIFY(clickCell(grid("Grid1_0"), 1, 1, true));
        grid("Grid1_0")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(label3(), QStringLiteral("1"));
    }

    // A kind's file the draw cannot open is told, as a listing would tell it,
    // and gives nothing to draw.
    void aDrawTellsAFileItCannotRead()
    {
        const QString brief = m_gui.bank->filePath(QStringLiteral("QELMEXE3.DAT"));
        QVERIFY(QFile::remove(brief) && QDir().mkdir(brief));
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != "Azar")
                return;
            dialog->findChild<QSpinBox *>("Cantidad_2_1_0")->setValue(1);
            dialog->accept();
        });
        driver.start(20);
        const QString shortage = "No hay tantas preguntas como se piden:\n\nCapítulo 1 "
                                 "(breves): se piden 1 y hay 0\n\nPulse Aceptar para elegir las "
                                 "que hay o Cancelar para volver al plan.";
        QCOMPARE(MessageBoxResponder::answer(
                     {MessageBoxResponder::notice("No se puede abrir el fichero QELMEXE3.DAT. "
                                                  "Motivo: QELMEXE3.DAT no es un fichero de "
                                                  "datos."),
                      MessageBoxResponder::question(shortage, "Aceptar")},
                     [this] { click(m_window, "CommandAzar"); }),
                 QString());
        QCOMPARE(m_window->selectedCount(ExpositionKind::Brief), 0);
    }

    // Up to the 100th of its kind; another kind still accepts.
    void theHundredthQuestionOfAKindIsTheLast()
    {
        for (int n = 1; n <= 100; ++n) {
            grid("Grid3")->setCurrentCell(1 + n % 3, 1);
            m_window->Grid3_DblClick();
        }
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 100 preguntas"))},
                                             [this] {
                                                 doubleClick(2);
                                                 // refused, the row stays chosen
                                                 QCOMPARE(grid("Grid3")->row(), 2);
                                                 chooseKind(1);
                                                 doubleClick(1);
                                             }),
                 QString());
        QCOMPARE(m_window->selectedCount(ExpositionKind::Conceptual), 100);
        QCOMPARE(grid("Grid1_0")->textMatrix(100, 1), ExpositionBankFixture::text("C230", 230));
        QCOMPARE(grid("Grid1_1")->textMatrix(1, 1), QStringLiteral("Diseñe un plan de precios."));
    }
};

QTEST_MAIN(tst_Examselec)
#include "tst_Examselec.moc"
