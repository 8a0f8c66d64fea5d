// The true/false maintenance window driven as a teacher drives it: browsing,
// modifying, adding and deleting questions, every message it shows, and the
// bank file's bytes after each operation, failures included, and a bank
// replaced by another program in the middle of an edit.
#include "EmptyBankFolder.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "TestFiles.h"
#include "Testmodi.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtEndian>
#include <QtTest>

#include <optional>

using namespace GuiTest;
using KeyboardFocus::tabTo;
using Box = MessageBoxResponder::Box;

namespace {

const Box kUpdated = MessageBoxResponder::notice(QStringLiteral("Base de datos actualizada"));
const QString kLeave =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de tipo test?");

Box askDelete(const char *question, const QString &click = QStringLiteral("Aceptar"))
{
    return MessageBoxResponder::question(
        QStringLiteral("¿Seguro que quiere eliminar la pregunta \"%1\"").arg(question), click);
}

// One record as the file holds it, built byte by byte.
QByteArray record(int chapter, int topic, const QByteArray &text, int answer)
{
    QByteArray bytes(256, ' ');
    qToLittleEndian<qint16>(qint16(chapter), bytes.data());
    qToLittleEndian<qint16>(qint16(topic), bytes.data() + 2);
    bytes.replace(4, qMin<qsizetype>(text.size(), 250), text.left(250));
    qToLittleEndian<qint16>(qint16(answer), bytes.data() + 254);
    return bytes;
}

// Records 1-3: chapter 1 topic 1; record 4: chapter 1 topic 2; record 5:
// chapter 1 topic 1 with an answer that is neither 0 nor 1.
const QList<QByteArray> kRecords{record(1, 1, "Primera", 1), record(1, 1, "Segunda", 0),
                                 record(1, 1, "Tercera", 1), record(1, 2, "Del tema dos", 0),
                                 record(1, 1, "Rara", 7)};
const QStringList kTopicOne{"1|Primera|Sí|1", "2|Segunda|No|2", "3|Tercera|Sí|3", "4|Rara|No|5"};

} // namespace

class tst_Testmodi : public QObject
{
    Q_OBJECT

private:
    GuiFixture<EmptyBankFolder> m_gui;
    QPointer<Testmodi> m_window;

    QString bankPath() const { return m_gui.bank->filePath(QStringLiteral("QELMEXT2.DAT")); }
    QByteArray bank() const { return testFiles::readFile(m_gui.bank->filePath(onlyBankName())); }
    QString onlyBankName() const
    {
        const QStringList names = QDir(m_gui.bank->path()).entryList({"*"}, QDir::Files);
        return names.size() == 1 ? names.first() : QStringLiteral("<%1>").arg(names.join(' '));
    }
    FlexGrid *grid() const { return m_window->findChild<FlexGrid *>("Grid3"); }
    QPlainTextEdit *text1() const { return m_window->findChild<QPlainTextEdit *>("Text1"); }
    QRadioButton *option(int i) const
    {
        return m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i));
    }
    void click(const char *name)
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // What went wrong with the boxes a click on the button must show.
    QString clickAnswering(const char *name, const QList<Box> &boxes)
    {
        return MessageBoxResponder::answer(boxes, [this, name] { click(name); });
    }
    void chooseRow(int row)
    {
        QVERIFY(clickCell(grid(), row, 1));
        QCOMPARE(grid()->row(), row);
    }
    void chooseTopic(int topic)
    {
        m_window->findChild<QListWidget *>("List2")->setCurrentRow(topic - 1);
        QCOMPARE(m_window->currentTopic(), topic);
    }
    // "number|text|answer|record" for rows 1..count.
    QStringList rows(int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << QStringList{grid()->textMatrix(r, 0), grid()->textMatrix(r, 1),
                                 grid()->textMatrix(r, 2), grid()->textMatrix(r, 3)}
                         .join(u'|');
        return shown;
    }
    bool editing() const
    {
        return text1()->isEnabled() && !m_window->findChild<QPushButton *>("Command4")->isEnabled();
    }
    bool openWindow(const QList<QByteArray> &records)
    {
        return testFiles::writeFile(bankPath(), records.join()) && openWindowOnFolder();
    }
    bool openWindowOnFolder()
    {
        m_window = m_gui.open<Testmodi>(Testmodi::kName, ActiveWindowCodes::kMain);
        return m_window;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
    }
    void cleanup() { m_gui.tearDown(); }

    // The grid lists a topic with the record numbers hidden (four numbered
    // rows at least); the record an edit started from is the one written,
    // whatever the teacher chose meanwhile.
    void modifyingWritesTheRecordItStartedFrom()
    {
        QVERIFY(openWindow(kRecords));
        QCOMPARE(rows(4), kTopicOne);
        QVERIFY(grid()->isColHidden(3));
        QCOMPARE(grid()->row(), 0);
        chooseTopic(3);
        QCOMPARE(rows(4), (QStringList{"1|||", "2|||", "3|||", "4|||"}));
        QCOMPARE(grid()->rows(), 5);
        chooseTopic(1);
        chooseRow(4); // "Rara", stored with answer 7, shown as No
        click("Command1");
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Rara"));
        QVERIFY(option(1)->isChecked() && !option(0)->isChecked());
        QCOMPARE(QApplication::focusWidget(), text1());

        chooseTopic(2);
        text1()->setPlainText(QStringLiteral("  uno\r\ndos  "));
        // The message comes while the editing area is closed and before the
        // browsing buttons return.
        bool buttonsBackBeforeTheMessage = true;
        QTimer::singleShot(0, this, [&] {
            auto *command4 = m_window->findChild<QPushButton *>("Command4");
            buttonsBackBeforeTheMessage =
                !QApplication::activeModalWidget() || command4->isEnabled() || text1()->isEnabled();
        });
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QVERIFY(!buttonsBackBeforeTheMessage);
        QVERIFY(!editing());
        QCOMPARE(text1()->toPlainText(), QString());
        QVERIFY(!option(0)->isChecked() && !option(1)->isChecked());
        QCOMPARE(bank(), (QList<QByteArray>{kRecords[0], kRecords[1], kRecords[2], kRecords[3],
                                            record(1, 1, "unodos", 0)})
                             .join());
        QCOMPARE(m_window->currentTopic(), 2);

        chooseTopic(1);
        chooseRow(1);
        click("Command1");
        QVERIFY(option(0)->isChecked());
        option(1)->setChecked(true);
        text1()->setPlainText(QString(250, u'z'));
        QCOMPARE(m_window->findChild<QLabel *>("TextLength")->text(), QStringLiteral("250 / 250"));
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QCOMPARE(bank().left(256), record(1, 1, QByteArray(250, 'z'), 0));
        QCOMPARE(rows(1), (QStringList{"1|" + QString(250, u'z') + "|No|1"}));
    }

    // A refusal writes nothing and leaves the edit (if any) as it was.
    void refusalsLeaveTheBankAndTheEditAsTheyWere_data()
    {
        QTest::addColumn<int>("topic"); // topic 2 holds one question, or 50 with `full`
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("row");       // chosen first; 0: none
        QTest::addColumn<QString>("start"); // Command4 (add), Command1 (modify) or none
        QTest::addColumn<int>("answer");    // option set; -1: none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("message");
        const QString lost =
            QStringLiteral("El texto contiene caracteres que no se pueden guardar: ");
        QTest::newRow("modify: spaces and breaks only")
            << 1 << false << 2 << "Command1" << 0 << "  \r\n \n "
            << "Command5"
            << "No hay texto de pregunta";
        QTest::newRow("add: empty text is checked before the answer")
            << 1 << false << 0 << "Command4" << -1 << " \n "
            << "Command5"
            << "No hay texto de pregunta";
        QTest::newRow("add: no answer") << 1 << false << 0 << "Command4" << -1 << "Nueva"
                                        << "Command5"
                                        << "No se ha especificado la respuesta correcta";
        QTest::newRow("add: outside the code page")
            << 1 << false << 0 << "Command4" << 0 << "Flecha → y ✓"
            << "Command5" << lost + "«→» (U+2192), «✓» (U+2713)";
        QTest::newRow("modify: outside the code page")
            << 1 << false << 2 << "Command1" << 1 << "Flecha →"
            << "Command5" << lost + "«→» (U+2192)";
        const QString tooLong =
            QStringLiteral("El texto tiene 251 caracteres y en la pregunta caben 250. Acórtelo "
                           "antes de guardarlo.");
        QTest::newRow("modify: one character too many")
            << 1 << false << 2 << "Command1" << 1 << QString(251, u'x') << "Command5" << tooLong;
        QTest::newRow("add: too many once cleaned")
            << 1 << false << 0 << "Command4" << 0 << "  " + QString(248, u'x') + "\r\nyyy  "
            << "Command5" << tooLong;
        QTest::newRow("add: a 51st question in a topic")
            << 2 << true << 0 << "Command4" << 1 << "Una de más"
            << "Command5"
            << "No se pueden añadir más de 50 preguntas en un mismo tema";
        QTest::newRow("modify without a question") << 2 << false << 0 << "" << -1 << ""
                                                   << "Command1"
                                                   << "Seleccione una pregunta para modificar";
        QTest::newRow("delete a filler row") << 2 << false << 3 << "" << -1 << ""
                                             << "Command3"
                                             << "Seleccione una pregunta para eliminar";
    }
    void refusalsLeaveTheBankAndTheEditAsTheyWere()
    {
        QFETCH(int, topic);
        QFETCH(bool, full);
        QFETCH(int, row);
        QFETCH(QString, start);
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, press);
        QFETCH(QString, message);
        QList<QByteArray> records = kRecords;
        for (int i = 2; full && i <= 50; ++i)
            records << record(1, 2, "Pregunta " + QByteArray::number(i), i % 2);
        QVERIFY(openWindow(records));
        chooseTopic(topic);
        if (row > 0)
            chooseRow(row);
        if (!start.isEmpty())
            click(qPrintable(start));
        if (answer >= 0)
            option(answer)->setChecked(true);
        text1()->setPlainText(typed);
        QCOMPARE(clickAnswering(qPrintable(press), {MessageBoxResponder::notice(message)}),
                 QString());
        QCOMPARE(editing(), !start.isEmpty());
        QCOMPARE(bank(), records.join());
        if (editing())
            QCOMPARE(text1()->toPlainText(), QString(typed).replace("\r\n", "\n"));
    }

    void addingFilesTheQuestionUnderTheTopicChosenAtUpdate()
    {
        QVERIFY(openWindow(kRecords));
        click("Command4");
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QString());
        chooseTopic(4);
        text1()->setPlainText(QStringLiteral("Nueva pregunta del tema cuatro"));
        option(0)->setChecked(true);
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QCOMPARE(bank(), kRecords.join() + record(1, 4, "Nueva pregunta del tema cuatro", 1));
        QCOMPARE(rows(2), (QStringList{"1|Nueva pregunta del tema cuatro|Sí|6", "2|||"}));
        QVERIFY(!editing());
    }

    void deletingAsksThenRenumbersUnderTheMixedCaseName()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(1);
        QCOMPARE(clickAnswering("Command3", {askDelete("Primera", QStringLiteral("Cancelar"))}),
                 QString());
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(bank(), kRecords.join());

        chooseRow(1);
        QCOMPARE(clickAnswering("Command3", {askDelete("Primera"), kUpdated}), QString());
        QCOMPARE(onlyBankName(), QStringLiteral("Qelmext2.dat"));
        QCOMPARE(bank(),
                 (QList<QByteArray>{kRecords[1], kRecords[2], kRecords[3], kRecords[4]}).join());
        QCOMPARE(rows(4), (QStringList{"1|Segunda|No|1", "2|Tercera|Sí|2", "3|Rara|No|4", "4|||"}));
        QCOMPARE(grid()->row(), 0);

        // The last record, then the rest: the file ends empty.
        const struct
        {
            int topic, row;
            const char *question;
            QList<QByteArray> left;
        } steps[] = {{1, 3, "Rara", {kRecords[1], kRecords[2], kRecords[3]}},
                     {1, 1, "Segunda", {kRecords[2], kRecords[3]}},
                     {1, 1, "Tercera", {kRecords[3]}},
                     {2, 1, "Del tema dos", {}}};
        for (const auto &step : steps) {
            chooseTopic(step.topic);
            chooseRow(step.row);
            QCOMPARE(clickAnswering("Command3", {askDelete(step.question), kUpdated}), QString());
            QCOMPARE(bank(), step.left.join());
        }
        QCOMPARE(onlyBankName(), QStringLiteral("Qelmext2.dat"));
    }

    void aFailedChangeIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("fullDisk"); // otherwise a read-only folder
        QTest::newRow("modify, read-only folder") << "modify" << false;
        QTest::newRow("delete, full disk") << "delete" << true;
        QTest::newRow("add, full disk") << "add" << true;
    }
    void aFailedChangeIsReportedAndChangesNothing()
    {
        QFETCH(QString, operation);
        QFETCH(bool, fullDisk);
        QVERIFY(openWindow(kRecords));
        const QString typed = QStringLiteral("Cambio que no se puede guardar");
        if (operation == u"modify") {
            chooseRow(2);
            click("Command1");
        } else if (operation == u"add") {
            click("Command4");
            option(0)->setChecked(true);
        }
        text1()->setPlainText(typed);
        const Box failed = MessageBoxResponder::notice(
            QStringLiteral("No se ha podido actualizar la base de datos: …"));
        {
            // The bank is 1,280 bytes: a limit below that stops a rewrite,
            // and a limit at its size stops an addition.
            std::optional<testFiles::FileSizeLimit> limit;
            std::optional<testFiles::ReadOnlyFolder> readOnly;
            if (fullDisk)
                QVERIFY(limit.emplace(operation == u"add" ? 1280 : 1000).isActive());
            else
                QVERIFY(readOnly.emplace(m_gui.bank->path()).isActive());
            if (operation == u"delete") {
                chooseRow(2);
                QCOMPARE(clickAnswering("Command3", {askDelete("Segunda"), failed}), QString());
            } else {
                QCOMPARE(clickAnswering("Command5", {failed}), QString());
                QVERIFY(editing());
                QCOMPARE(text1()->toPlainText(), typed);
            }
        }
        QCOMPARE(QDir(m_gui.bank->path()).entryList(QDir::Files), QStringList{"QELMEXT2.DAT"});
        QCOMPARE(bank(), kRecords.join());
        QCOMPARE(rows(4), kTopicOne);
    }

    // Another program replaces the bank between "Modificar pregunta" and
    // "Actualizar": nothing is written, the grid shows the new file, and the
    // edit stays, tied to its question wherever that now lies; a question
    // that is gone is added anew only if the teacher says so.
    void aBankReplacedDuringAnEditIsReloadedAndNothingWritten_data()
    {
        QTest::addColumn<QList<QByteArray>>("replaced");
        QTest::addColumn<QString>("gone"); // the answer to "save as new?"; empty: not asked
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<QByteArray>>("saved"); // after the second "Actualizar"
        const QByteArray changed = record(1, 1, "Tercera cambiada", 1);
        QTest::newRow("an earlier question deleted")
            << QList<QByteArray>{kRecords[1], kRecords[2], kRecords[3], kRecords[4]} << ""
            << QStringList{"1|Segunda|No|1", "2|Tercera|Sí|2", "3|Rara|No|4"}
            << QList<QByteArray>{kRecords[1], changed, kRecords[3], kRecords[4]};
        QTest::newRow("the question itself deleted, saved as new")
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3]} << "Aceptar"
            << QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|||"}
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3], changed};
        QTest::newRow("the question itself deleted, not saved")
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3]} << "Cancelar"
            << QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|||"} << QList<QByteArray>{};
    }
    void aBankReplacedDuringAnEditIsReloadedAndNothingWritten()
    {
        QFETCH(QList<QByteArray>, replaced);
        QFETCH(QString, gone);
        QFETCH(QStringList, shown);
        QFETCH(QList<QByteArray>, saved);
        QVERIFY(openWindow(kRecords));
        chooseRow(3);
        click("Command1");
        text1()->setPlainText(QStringLiteral("Tercera cambiada"));

        // As another program does it: a new file renamed over the old one.
        const QString other = m_gui.bank->filePath(QStringLiteral("otro.tmp"));
        QVERIFY(testFiles::writeFile(other, replaced.join()));
        QVERIFY(QFile::remove(bankPath()) && QFile::rename(other, bankPath()));

        const auto saveAsNew = [](const QString &click) {
            return MessageBoxResponder::question(
                QStringLiteral("La pregunta que estaba modificando ya no está en el banco de "
                               "preguntas. ¿Quiere guardar el texto como una pregunta nueva?"),
                click);
        };
        QList<Box> boxes{MessageBoxResponder::notice(
            QStringLiteral("El banco de preguntas ha cambiado desde otro programa y se ha vuelto "
                           "a cargar. Revise la pregunta y vuelva a pulsar Actualizar."))};
        if (!gone.isEmpty())
            boxes << saveAsNew(gone);
        QCOMPARE(clickAnswering("Command5", boxes), QString());
        QCOMPARE(bank(), replaced.join());
        QCOMPARE(rows(3), shown);
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Tercera cambiada"));

        if (gone == u"Cancelar") {
            // Asked again at every "Actualizar"; "Cancelar" then drops the edit.
            QCOMPARE(clickAnswering("Command5", {saveAsNew(QStringLiteral("Cancelar"))}),
                     QString());
            QVERIFY(editing());
            click("Command6");
            QCOMPARE(bank(), replaced.join());
            return;
        }
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QVERIFY(!editing());
        QCOMPARE(bank(), saved.join());
    }

    void cancelDropsTheEditWithoutWriting()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(2);
        click("Command1");
        text1()->setPlainText(QStringLiteral("otra cosa"));
        QCOMPARE(clickAnswering("Command6", {}), QString());
        QVERIFY(!editing());
        QCOMPARE(text1()->toPlainText(), QString());
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(bank(), kRecords.join());
        // A double-click on the grid while editing clears the chosen row; the edit stays.
        click("Command4");
        chooseRow(2);
        QCOMPARE(
            MessageBoxResponder::answer({}, [this] { QVERIFY(doubleClickCell(grid(), 2, 1)); }),
            QString());
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(focusName(), QStringLiteral("List2"));
        QVERIFY(editing());
    }

    void opensWithANoticeOfWhatItCannotShow()
    {
        QByteArray torn = kRecords.join() + record(30, 1, "Capítulo inexistente", 1);
        torn += QByteArray(56, 'x');
        QVERIFY(testFiles::writeFile(bankPath(), torn));
        const QString older = m_gui.bank->filePath("qelmext2.dat");
        QVERIFY(testFiles::writeFile(older, record(1, 1, "Vieja", 1)));
        QVERIFY(testFiles::setModified(older, QDateTime::currentDateTime().addDays(-1)));
        MessageBoxResponder notice;
        notice.expect(QStringLiteral("…"), {"Aceptar"}, QStringLiteral("Aceptar"));
        QVERIFY(openWindowOnFolder());
        QVERIFY(notice.waitUntilAnswered());
        QCOMPARE(notice.seenTexts().size(), 1);
        const QString text = notice.seenTexts().first();
        QCOMPARE(notice.failures().join(u'\n'), QString());
        QVERIFY2(text.contains("1 preguntas del fichero no se pueden mostrar"), qPrintable(text));
        QVERIFY2(text.contains("56 bytes"), qPrintable(text));
        QVERIFY2(text.contains("qelmext2.dat"), qPrintable(text));
        QCOMPARE(rows(1), (QStringList{"1|Primera|Sí|1"}));
    }

    // Enter on the grid modifies, Delete deletes (and Enter on its question
    // keeps the question); the focus goes to the text, then back to the grid.
    void aQuestionModifiedAndKeptWithTheKeyboardAlone()
    {
        QVERIFY(openWindow(kRecords));
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));
        QCOMPARE(tabTo("Grid3"), QStringLiteral("Grid3"));
        QCOMPARE(grid()->row(), 1); // reached by Tab: the first row
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QVERIFY(editing());
        QCOMPARE(focusName(), QStringLiteral("Text1"));
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Segunda"));
        QTest::keyClicks(text1(), QStringLiteral(" bis"));
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Option1_0"));
        key(Qt::Key_Space);
        QVERIFY(option(0)->isChecked() && !option(1)->isChecked());
        QCOMPARE(tabTo("Command5"), QStringLiteral("Command5"));

        QCOMPARE(MessageBoxResponder::answer(
                     {MessageBoxResponder::notice(kUpdated.text, MessageBoxResponder::kEnter)},
                     [] { key(Qt::Key_Return); }),
                 QString());
        QVERIFY(!editing());
        // No focus is given to the grid: the keyboard left the disabled
        // button for the next control in the chain and stays there.
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));
        QCOMPARE(tabTo("Grid3"), QStringLiteral("Grid3"));
        QCOMPARE(bank(), (QList<QByteArray>{kRecords[0], record(1, 1, "Segunda bis", 1),
                                            kRecords[2], kRecords[3], kRecords[4]})
                             .join());
        key(Qt::Key_Up);
        QCOMPARE(MessageBoxResponder::answer({askDelete("Primera", MessageBoxResponder::kEnter)},
                                             [] { key(Qt::Key_Delete); }),
                 QString());
        QCOMPARE(rows(1), (QStringList{"1|Primera|Sí|1"}));
    }
};

QTEST_MAIN(tst_Testmodi)
#include "tst_Testmodi.moc"
