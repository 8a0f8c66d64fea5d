// The two maintenance windows driven as a teacher drives them: the bank
// file's bytes after each modification, addition and deletion, the refusals
// that write nothing, a bank replaced by another program during an edit, and
// the text a refusal shows.
#include "BankBytes.h"
#include "BankFolders.h"
#include "Exammodi.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "QuestionText.h"
#include "TestFiles.h"
#include "Testmodi.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest>

using namespace GuiTest;
using Box = MessageBoxResponder::Box;

namespace {

const Box kUpdated = MessageBoxResponder::notice(QStringLiteral("Base de datos actualizada"));
const QStringList kKinds{"test", "conceptual", "practical", "brief"};

using bankBytes::record;
using bankBytes::trueFalse;
// The bank each row starts from: chapter 1 topic 1 holds records 1-3 and 5
// (answer 7: neither Sí nor No), topic 2 record 4; or chapter 3 records 1 and 3.
QList<QByteArray> startBank(int kind)
{
    if (kind == 0)
        return {trueFalse(1, 1, "Primera", 1), trueFalse(1, 1, "Segunda", 0),
                trueFalse(1, 1, "Tercera", 1), trueFalse(1, 2, "Del tema dos", 0),
                trueFalse(1, 1, "Rara", 7)};
    return {record(kind, 3, "Uno"), record(kind, 1, "Dos"), record(kind, 3, "Tres")};
}
Box askDelete(const QString &question, const QString &click = QStringLiteral("Aceptar"))
{
    return MessageBoxResponder::question(
        QStringLiteral("¿Seguro que quiere eliminar la pregunta \"%1\"").arg(question), click);
}
// The records joined, record `index` replaced, or appended past the end, or
// removed when `index` is below 0 (-1: the first).
QByteArray with(QList<QByteArray> records, int index, const QByteArray &record)
{
    if (index < 0)
        records.removeAt(-index - 1);
    else if (index < records.size())
        records[index] = record;
    else
        records.append(record);
    return records.join();
}

} // namespace

class tst_MaintenanceWindow : public QObject
{
    Q_OBJECT

    GuiFixture<EmptyBankFolder> m_gui;
    QPointer<QWidget> m_window;
    int m_kind = 0;

    QString fileName() const { return bankBytes::kLoadNames[m_kind]; }
    QStringList files() const
    {
        QStringList names = QDir(m_gui.bank->path()).entryList(QDir::Files);
        names.removeAll(m_kind > 1 ? "QELMEXE1.DAT" : ""); // created, empty, as the window opens
        return names;
    }
    QByteArray bank() const
    {
        return files().size() == 1 ? testFiles::readFile(m_gui.bank->filePath(files().first()))
                                   : "<" + files().join(u' ').toUtf8() + ">";
    }
    FlexGrid *grid() const { return m_window->findChild<FlexGrid *>("Grid3"); }
    QPlainTextEdit *text1() const { return m_window->findChild<QPlainTextEdit *>("Text1"); }
    bool editing() const { return text1()->isEnabled(); }
    QString press(const QString &button, const QList<Box> &boxes)
    {
        return MessageBoxResponder::answer(boxes, [&] { click(m_window, button); });
    }
    // Starts an edit with `start` (none when empty), sets the answer (-1:
    // none) and types the text.
    void edit(const QString &start, int answer, const QString &typed)
    {
        if (!start.isEmpty())
            click(m_window, start);
        if (answer >= 0)
            click(m_window, QStringLiteral("Option1_%1").arg(answer));
        text1()->setPlainText(typed);
    }
    // The topic (true/false) or the chapter (exposition) listed.
    void choosePlace(int place)
    {
        m_window->findChild<QListWidget *>(m_kind == 0 ? "List2" : "List1")
            ->setCurrentRow(place - 1);
    }
    void openOn(const QString &kind, const QList<QByteArray> &records)
    {
        m_kind = kKinds.indexOf(kind);
        QVERIFY(testFiles::writeFile(m_gui.bank->filePath(fileName()), records.join()));
        QVERIFY(m_window = m_gui.open<QWidget>(m_kind == 0 ? Testmodi::kName : Exammodi::kName));
        if (m_kind > 0)
            click(m_window, QStringLiteral("Option1_%1").arg(m_kind - 1));
        choosePlace(m_kind == 0 ? 1 : 3);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        registerWindows<Testmodi, Exammodi>();
    }
    void cleanup() { m_gui.tearDown(); }

    // A modification writes the record it started from, whatever place was
    // chosen meanwhile; an addition goes under the place chosen at
    // "Actualizar"; a deletion moves the records
    // after it forward under the mixed-case name.
    void changesAreWrittenToTheBank_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("row");   // modified or deleted
        QTest::addColumn<int>("place"); // chosen before "Actualizar"
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // the option set; -1: as it was
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("firstRow"); // the first question listed after
        const QList<QByteArray> t = startBank(0);
        // clang-format off
        QTest::newRow("test modify, answer 7 kept as No") << "test" << "modify" << 4 << 2 << "  uno\r\ndos  " << -1 << with(t, 4, trueFalse(1, 1, "unodos", 0)) << "Qelmext2.dat" << "Del tema dos";
        QTest::newRow("test add") << "test" << "add" << 0 << 4 << "Nueva del tema cuatro" << 0 << with(t, 5, trueFalse(1, 4, "Nueva del tema cuatro", 1)) << "QELMEXT2.DAT" << "Nueva del tema cuatro";
        QTest::newRow("test delete") << "test" << "delete" << 1 << 1 << "" << -1 << with(t, -1, {}) << "Qelmext2.dat" << "Segunda";
        QTest::newRow("conceptual modify") << "conceptual" << "modify" << 2 << 3 << "  \r\n  abc\r\ndef" << -1 << with(startBank(1), 2, record(1, 3, "  abcdef")) << "Qelmexe1.dat" << "Uno";
        QTest::newRow("practical add, 1000 fit") << "practical" << "add" << 0 << 5 << QString(1000, u'a') + "\r\n" << -1 << with(startBank(2), 3, record(2, 5, QByteArray(1000, 'a'))) << "QELMEXE2.DAT" << QString(1000, u'a');
        QTest::newRow("brief delete") << "brief" << "delete" << 1 << 3 << "" << -1 << with(startBank(3), -1, {}) << "Qelmexe3.dat" << "Tres";
        // clang-format on
    }
    void changesAreWrittenToTheBank()
    {
        QFETCH(QString, kind);
        QFETCH(QString, operation);
        QFETCH(int, row);
        QFETCH(int, place);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        openOn(kind, startBank(kKinds.indexOf(kind)));
        if (row > 0)
            QVERIFY(clickCell(grid(), row, 1));
        if (operation == u"delete") { // Cancelar first: nothing is written
            QCOMPARE(press("Command3", {askDelete(grid()->textMatrix(row, 1), "Cancelar")}),
                     QString());
            QCOMPARE(bank(), startBank(m_kind).join());
            QCOMPARE(grid()->row(), 0);
            QVERIFY(clickCell(grid(), row, 1));
            QCOMPARE(press("Command3", {askDelete(grid()->textMatrix(row, 1)), kUpdated}),
                     QString());
        } else {
            click(m_window, operation == u"add" ? "Command4" : "Command1");
            choosePlace(place);
            edit("", answer, typed);
            // The message comes with the editor closed and the buttons not yet back.
            bool browsingUnderTheMessage = true;
            QTimer::singleShot(0, this, [&] {
                browsingUnderTheMessage = !QApplication::activeModalWidget() || editing() ||
                                          m_window->findChild<QWidget *>("Command4")->isEnabled();
            });
            QCOMPARE(press("Command5", {kUpdated}), QString());
            QVERIFY(!browsingUnderTheMessage);
            QVERIFY(!editing());
            QCOMPARE(text1()->toPlainText(), QString());
            for (const char *option : {"Option1_0", "Option1_1"}) // and a question's answer
                QVERIFY(m_kind > 0 || !m_window->findChild<QAbstractButton *>(option)->isChecked());
        }
        QTEST(files().join(u' '), "file");
        QTEST(bank(), "written");
        QTEST(grid()->textMatrix(1, 1), "firstRow");
        if (m_kind > 0) { // chapter 1's one question, and nothing left of the last chapter's
            choosePlace(1);
            QCOMPARE(grid()->textMatrix(1, 1) + "|" + grid()->textMatrix(2, 1), "Dos|");
        }
    }

    // A question that nearly repeats another of its kind and chapter is saved
    // only when the teacher says so; Enter answers Cancelar and keeps the edit.
    // The question modified is found with the search field. (An addition goes
    // through the same check on "Actualizar".)
    void aNearDuplicateIsSavedOnlyOnRequest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("row"); // modified
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("near"); // where and what; empty: nothing asked
        // clang-format off
        QTest::newRow("test modify record 1") << "test" << 1 << "Del tema, dos." << "capítulo 1, tema 2): «Del tema dos";
        QTest::newRow("conceptual modify") << "conceptual" << 1 << "¿Tres?" << "capítulo 3): «Tres";
        QTest::newRow("brief modified into itself") << "brief" << 2 << "tres." << "";
        // clang-format on
    }
    void aNearDuplicateIsSavedOnlyOnRequest()
    {
        QFETCH(QString, kind);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, near);
        openOn(kind, startBank(kKinds.indexOf(kind)));
        const QByteArray before = bank();
        auto *search = m_window->findChild<QLineEdit *>("Buscar");
        QTest::keyClicks(search, grid()->textMatrix(row, 1));
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(grid()->row(), row);
        edit("Command1", -1, typed);
        // Checked in the question's own chapter, not the one chosen now.
        m_window->findChild<QListWidget *>("List1")->setCurrentRow(1);
        const QString asked =
            "Ya existe una pregunta muy parecida (" + near + "». ¿Guardarla igualmente?";
        if (!near.isEmpty()) {
            const Box enter = MessageBoxResponder::question(asked, MessageBoxResponder::kEnter);
            QCOMPARE(press("Command5", {enter}), QString());
            QCOMPARE(bank(), before);
            QCOMPARE(text1()->toPlainText(), typed);
            QCOMPARE(press("Command5", {MessageBoxResponder::question(asked, "Aceptar"), kUpdated}),
                     QString());
        } else {
            QCOMPARE(press("Command5", {kUpdated}), QString());
        }
        QVERIFY(bank() != before);
    }

    // A refusal writes nothing and leaves the edit (if any) as it was.
    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("fill");      // questions added to the listed place first
        QTest::addColumn<int>("row");       // clicked first; 0: none; below 0: double-clicked
        QTest::addColumn<QString>("start"); // Command4 (add), Command1 (modify) or none
        QTest::addColumn<int>("answer");    // option clicked; -1: none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("length"); // beside the editor: stored length / room
        const QString lost =
            QStringLiteral("El texto contiene caracteres que no se pueden guardar: ");
        // clang-format off
        QTest::newRow("add: empty text before no answer") << "test" << 0 << 0 << "Command4" << -1 << " \n " << "Command5" << "No hay texto de pregunta" << "0 / 250";
        QTest::newRow("add: no answer") << "test" << 0 << 0 << "Command4" << -1 << "Nueva" << "Command5" << "No se ha especificado la respuesta correcta" << "5 / 250";
        QTest::newRow("modify: outside the code page") << "practical" << 0 << 1 << "Command1" << -1 << "Flecha →" << "Command5" << lost + "«→» (U+2192)" << "8 / 1000";
        QTest::newRow("add: too many once cleaned") << "test" << 0 << 0 << "Command4" << 0 << "  " + QString(248, u'x') + "\r\nyyy  " << "Command5" << "El texto tiene 251 caracteres y en la pregunta caben 250. Acórtelo antes de guardarlo." << "251 / 250";
        QTest::newRow("add: a 51st question in a topic") << "test" << 46 << 0 << "Command4" << 1 << "Una de más" << "Command5" << "No se pueden añadir más de 50 preguntas en un mismo tema" << "10 / 250";
        QTest::newRow("add: a 201st brief") << "brief" << 198 << 0 << "Command4" << -1 << "Una de más" << "Command5" << "No se pueden añadir más de 200 preguntas de este tipo en un mismo capítulo" << "10 / 150";
        QTest::newRow("modify after a grid double-click") << "test" << 0 << -2 << "" << -1 << "" << "Command1" << "Seleccione una pregunta para modificar" << "0 / 250";
        QTest::newRow("delete after a grid double-click") << "brief" << 0 << -2 << "" << -1 << "" << "Command3" << "Seleccione una pregunta para eliminar" << "0 / 150";
        // clang-format on
    }
    void refusalsWriteNothing()
    {
        QFETCH(QString, kind);
        QFETCH(int, fill);
        QFETCH(int, row);
        QFETCH(QString, start);
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, message);
        const int k = kKinds.indexOf(kind);
        QList<QByteArray> records = startBank(k);
        for (int i = 1; i <= fill; ++i)
            records << (k == 0 ? trueFalse(1, 1, "Otra " + QByteArray::number(i), i % 2)
                               : record(k, 3, "Otra"));
        openOn(kind, records);
        if (row != 0)
            QVERIFY(clickCell(grid(), qAbs(row), 1, row < 0));
        // A grid double-click clears the row; only Testmodi moves the focus (to its topics).
        if (row < 0)
            QCOMPARE(focusName(), k == 0 ? "List2" : "Grid3");
        edit(start, answer, typed);
        QTEST(m_window->findChild<QLabel *>("TextLength")->text(), "length");
        QCOMPARE(press(button, {MessageBoxResponder::notice(message)}), QString());
        QCOMPARE(editing(), !start.isEmpty());
        QCOMPARE(files(), QStringList{fileName()});
        QCOMPARE(bank(), records.join());
        if (editing())
            QCOMPARE(text1()->toPlainText(), QString(typed).replace("\r\n", "\n"));
    }

    // Choosing another kind drops the edit of the kind left, without a
    // question: the text typed can never reach the other kind's file.
    void choosingAnotherKindDropsTheEdit()
    {
        openOn("conceptual", startBank(1));
        QVERIFY(clickCell(grid(), 1, 1));
        edit("Command1", -1, "Cambio");
        QCOMPARE(MessageBoxResponder::answer({}, [&] { click(m_window, "Option1_1"); }), QString());
        QVERIFY(!editing());
        QCOMPARE(testFiles::readFile(m_gui.bank->filePath("QELMEXE1.DAT")), startBank(1).join());
    }

    // Another program replaces the bank between "Modificar pregunta" and
    // "Actualizar": nothing is written, the edit stays, tied to its question
    // wherever that now lies; a question that is gone is added anew if the
    // teacher says so.
    void aBankReplacedDuringAnEditIsReloadedAndNothingWritten_data()
    {
        QTest::addColumn<QList<int>>("kept"); // records of the replacement
        QTest::addColumn<bool>("gone");
        QTest::addColumn<QByteArray>("saved"); // after the second "Actualizar"
        const QList<QByteArray> t = startBank(0);
        const QByteArray changed = trueFalse(1, 1, "Tercera cambiada", 1);
        // clang-format off
        QTest::newRow("an earlier question deleted") << QList<int>{1, 2, 3, 4} << false << t[1] + changed + t[3] + t[4];
        QTest::newRow("the question itself deleted") << QList<int>{0, 1, 3} << true << t[0] + t[1] + t[3] + changed;
        // clang-format on
    }
    void aBankReplacedDuringAnEditIsReloadedAndNothingWritten()
    {
        QFETCH(QList<int>, kept);
        QFETCH(bool, gone);
        openOn("test", startBank(0));
        QVERIFY(clickCell(grid(), 3, 1));
        edit("Command1", -1, "Tercera cambiada");
        QByteArray replaced;
        for (int i : kept)
            replaced += startBank(0)[i];
        QVERIFY(replaceFile(m_gui.bank->filePath(fileName()), replaced));
        QList<Box> boxes{MessageBoxResponder::notice(
            QStringLiteral("El banco de preguntas ha cambiado desde otro programa y se ha vuelto a "
                           "cargar. Revise la pregunta y vuelva a pulsar Actualizar."))};
        if (gone)
            boxes << MessageBoxResponder::question(
                QStringLiteral("La pregunta que estaba modificando ya no está en el banco de "
                               "preguntas. ¿Quiere guardar el texto como una pregunta nueva?"),
                "Aceptar");
        QCOMPARE(press("Command5", boxes), QString());
        QCOMPARE(bank(), replaced);
        // The edit stayed as typed: the second press saves it.
        QCOMPARE(press("Command5", {kUpdated}), QString());
        QTEST(bank(), "saved");
    }

    // The text shown when the bank refuses a change: another program's doing
    // is its own sentence, not a failure to update.
    void refusalsNameTheirCause_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("detail"); // the error's message is "Mensaje."
        QTest::addColumn<QString>("shown");
        const QString failed = QStringLiteral("No se ha podido actualizar la base de datos: ");
        // clang-format off
        QTest::newRow("write with reason") << int(BankErrorCode::CannotWrite) << "el disco está lleno" << failed + "el disco está lleno";
        QTest::newRow("write without reason") << int(BankErrorCode::CannotWrite) << "" << failed + "Mensaje.";
        QTest::newRow("locked elsewhere") << int(BankErrorCode::LockedElsewhere) << "x" << "Mensaje.";
        // clang-format on
    }
    void refusalsNameTheirCause()
    {
        QFETCH(int, code);
        QFETCH(QString, detail);
        QTEST(changeRefusedMessage({BankErrorCode(code), "Mensaje.", detail}, "LLENO"), "shown");
    }
};

QTEST_MAIN(tst_MaintenanceWindow)
#include "tst_MaintenanceWindow.moc"
