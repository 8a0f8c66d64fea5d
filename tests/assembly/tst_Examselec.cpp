// The exposition selection window driven as a teacher drives it: a
// selection per kind kept across kind switches and a visit to the output
// window, row heights by text length, the 100-question limit of each kind,
// a kind whose file cannot be opened, and choosing by keyboard.
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

using namespace GuiTest;

namespace {
const QString kC50 = ExpositionBankFixture::text(QStringLiteral("C50"), 50);
const QString kC230 = ExpositionBankFixture::text(QStringLiteral("C230"), 230);
const QString kC110 = ExpositionBankFixture::text(QStringLiteral("C110"), 110);
const QByteArray kHeader = "EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICI\xC3\x93N  \r\n"
                           "================================================\r\n\r\n";
Impres *output()
{
    return Forms::findAs<Impres>(Impres::kName);
}
} // namespace

class tst_Examselec : public QObject
{
    Q_OBJECT

    GuiFixture<ExpositionBankFixture> m_gui;
    QPointer<Examselec> m_window;

    FlexGrid *grid(const QString &name) const { return m_window->findChild<FlexGrid *>(name); }
    QString label3() const { return m_window->findChild<QLabel *>("Label3")->text(); }
    void doubleClick(const QString &name, int row) { QVERIFY(doubleClickCell(grid(name), row, 1)); }
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
    // "text height" of rows 1..count, the height in pixels.
    QStringList rows(const QString &name, int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << QStringLiteral("%1 %2")
                         .arg(grid(name)->textMatrix(r, 1).left(4))
                         .arg(grid(name)->view()->rowHeight(r - 1));
        return shown;
    }
    void handOverAndBack(const QByteArray &text)
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        QCOMPARE(output()->text().toUtf8(), text);
        QCOMPARE(ReturnWindowName, QStringLiteral("Examselec"));
        QTest::mouseClick(output()->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
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

    // Rows are as high as their text needs (420, 760, 560, 450 twips in the
    // list; 830, 450, 630 in the selection); removing moves the texts below
    // up with their heights; headers and filler rows do nothing.
    void rowsTakeTheHeightOfTheirText()
    {
        QCOMPARE(rows("Grid3", 4), (QStringList{"C50  28", "C230 51", "C110 37", " 30"}));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(grid(QStringLiteral("Grid1_%1").arg(k))->isVisible(), k == 0);
        for (int row : {2, 1, 3})
            doubleClick("Grid3", row);
        MessageBoxResponder responder; // no box may come up
        for (const auto &[name, row] :
             {std::pair{"Grid3", 0}, {"Grid3", 4}, {"Grid1_0", 4}, {"Grid1_0", 0}})
            doubleClick(name, row);
        QCOMPARE(rows("Grid1_0", 4), (QStringList{"C230 55", "C50  30", "C110 42", " 30"}));
        QCOMPARE(label3(), QStringLiteral("3"));
        doubleClick("Grid1_0", 2);
        QCOMPARE(rows("Grid1_0", 3), (QStringList{"C230 55", "C110 42", " 30"}));
        doubleClick("Grid1_0", 1);
        QCOMPARE(rows("Grid1_0", 2), (QStringList{"C110 42", " 30"}));
        QCOMPARE(label3(), QStringLiteral("1"));
        QCOMPARE(responder.seen(), 0);
    }

    void eachKindKeepsItsSelectionAcrossSwitches()
    {
        handOverAndBack(kHeader); // nothing selected: the header alone
        for (int row : {1, 2, 3})
            doubleClick("Grid3", row);
        chooseChapter(2);
        chooseKind(2);
        QCOMPARE(m_window->currentChapter(), 1); // a kind switch goes back to chapter 1
        QCOMPARE(label3(), QStringLiteral("0"));
        QVERIFY(grid("Grid1_2")->isVisible() && !grid("Grid1_0")->isVisible());
        chooseChapter(2);
        QCOMPARE(grid("Grid3")->rows(), 8); // seven questions, no filler
        doubleClick("Grid3", 7);
        chooseChapter(1);
        doubleClick("Grid3", 2);
        QCOMPARE(OpenFiles::count(), 1); // only the brief file
        chooseKind(0);
        QCOMPARE(label3(), QStringLiteral("3"));
        chooseKind(2);
        QCOMPARE(m_window->selectedCount(ExpositionKind::Practical), 0);
        handOverAndBack(kHeader + "A. PREGUNTAS CONCEPTUALES:\r\n\r\n 1. " + kC50.toUtf8() +
                        "\r\n\r\n 2. " + kC230.toUtf8() + "\r\n\r\n 3. " + kC110.toUtf8() +
                        "\r\n\r\n\r\nC. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:\r\n\r\n"
                        " 1. Concepto 7 del cap\xC3\xADtulo 2\r\n 2. Posicionamiento\r\n");
        QCOMPARE(int(m_window->currentKind()), 2);
        QCOMPARE(label3(), QStringLiteral("2"));
        QCOMPARE(grid("Grid1_2")->textMatrix(2, 1), QStringLiteral("Posicionamiento"));
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
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(QStringLiteral(
                                                 "No se pueden seleccionar más de 100 preguntas"))},
                                             [this] {
                                                 doubleClick("Grid3", 2);
                                                 chooseKind(1); // another kind still accepts
                                                 doubleClick("Grid3", 1);
                                             }),
                 QString());
        QCOMPARE(grid("Grid1_0")->textMatrix(100, 1), kC50);
        QCOMPARE(m_window->selectedCount(ExpositionKind::Conceptual), 100);
        QCOMPARE(label3(), QStringLiteral("1"));
        QCOMPARE(grid("Grid1_1")->textMatrix(1, 1), QStringLiteral("Diseñe un plan de precios."));
    }

    // A kind whose file cannot be opened is told once, the first time the
    // kind is chosen.
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
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
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

    // The kind by arrow keys, questions in by Enter and out by Delete; the
    // selection grid's current row is the question added last.
    void questionsChosenWithTheKeyboard()
    {
        QCOMPARE(KeyboardFocus::tabTo("Option1_0", Qt::Key_Backtab), QStringLiteral("Option1_0"));
        key(Qt::Key_Down);
        QCOMPARE(int(m_window->currentKind()), 1);
        key(Qt::Key_Up);
        QCOMPARE(KeyboardFocus::tabTo("Grid3"), QStringLiteral("Grid3"));
        for (Qt::Key k : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Enter, Qt::Key_Down, Qt::Key_Return,
                          Qt::Key_Tab})
            key(k);
        QCOMPARE(focusName(), QStringLiteral("Grid1_0"));
        QCOMPARE(grid("Grid1_0")->row(), 3);
        key(Qt::Key_Up);
        key(Qt::Key_Delete);
        QCOMPARE(grid("Grid1_0")->textMatrix(2, 1), kC110);
        key(Qt::Key_Return);
        QCOMPARE(grid("Grid1_0")->textMatrix(1, 1), kC50);
        QCOMPARE(label3(), QStringLiteral("1"));
        QCOMPARE(focusName(), QStringLiteral("Grid1_0"));
    }
};

QTEST_MAIN(tst_Examselec)
#include "tst_Examselec.moc"
