// The true/false maintenance window driven as a teacher drives it: browsing,
// modifying, adding and deleting questions, every message it shows, and the
// bank file's bytes after each operation, failures included, and a bank
// replaced by another program in the middle of an edit.
#include "FakeMainWindowServices.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "KeyboardFocus.h"
#include "MessageBoxResponder.h"
#include "OpenFiles.h"
#include "ProgramState.h"
#include "ScreenFit.h"
#include "TestFiles.h"
#include "Testmodi.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <optional>

using KeyboardFocus::focusName;
using KeyboardFocus::press;
using KeyboardFocus::tabTo;

namespace {

const QStringList kOk{QStringLiteral("Aceptar")};
const QStringList kOkCancel{QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};
const QString kUpdated = QStringLiteral("Base de datos actualizada");

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

} // namespace

class tst_Testmodi : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::unique_ptr<FakeMainWindowServices> m_main;
    QPointer<Testmodi> m_window;

    QString bankPath() const { return m_dir->filePath(QStringLiteral("QELMEXT2.DAT")); }
    QByteArray bank() const { return testFiles::readFile(m_dir->filePath(onlyBankName())); }
    QString onlyBankName() const
    {
        const QStringList names = QDir(m_dir->path()).entryList({"*"}, QDir::Files);
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
    // Clicks a button that must show exactly `message`, answered with `answer`.
    void clickAnswering(const char *name, const QString &message, const QString &answer = "Aceptar",
                        const QStringList &buttons = kOk)
    {
        MessageBoxResponder responder;
        responder.expect(message, buttons, answer);
        click(name);
        QVERIFY2(responder.waitUntilAnswered(), qPrintable(responder.failures().join(u'\n')));
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QCOMPARE(responder.seen(), 1);
    }
    void chooseRow(int row)
    {
        const FlexGrid::CellSpot spot = grid()->locateCell(row, 1);
        QVERIFY(spot.widget);
        QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QCOMPARE(grid()->row(), row);
    }
    void chooseTopic(int topic)
    {
        auto *list = m_window->findChild<QListWidget *>("List2");
        list->setCurrentRow(topic - 1);
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
    bool openWindow(const QList<QByteArray> &records, MessageBoxResponder *notice = nullptr)
    {
        if (!testFiles::writeFile(bankPath(), records.join()))
            return false;
        return openWindowOnFolder(notice);
    }
    bool openWindowOnFolder(MessageBoxResponder *notice = nullptr)
    {
        ActiveWindowCode = ActiveWindowCodes::kMain;
        m_window = qobject_cast<Testmodi *>(Forms::show(Testmodi::kName));
        if (notice && !notice->waitUntilAnswered())
            return false;
        return m_window && QTest::qWaitForWindowActive(m_window) &&
               QTest::qWaitFor([this] { return Forms::activeForm() == m_window; });
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_main = std::make_unique<FakeMainWindowServices>();
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
    }
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        closeAllFiles();
        QDir::setCurrent(m_previousDir);
        m_dir.reset();
    }

    void opensBrowsingTopicOneWithRecordNumbersHidden()
    {
        QVERIFY(openWindow(kRecords));
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("Añadir / modificar / eliminar preguntas tipo test"));
        QCOMPARE(m_main->statusText,
                 QStringLiteral("Añadir / Modificar / Eliminar preguntas tipo test"));
        QCOMPARE(m_window->currentChapter(), 1);
        QCOMPARE(m_window->currentTopic(), 1);
        QCOMPARE(grid()->rows(), 5);
        QCOMPARE(rows(4), (QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|Tercera|Sí|3",
                                       "4|Rara|No|5"}));
        QVERIFY(grid()->isColHidden(3));
        QCOMPARE(grid()->row(), 0);
        QVERIFY(!editing());
        for (const char *name : {"Frame1", "Frame2", "Frame3"})
            QVERIFY2(!m_window->findChild<QGroupBox *>(name)->isEnabled(), name);
        QVERIFY(!option(0)->isChecked() && !option(1)->isChecked());

        chooseTopic(3); // a topic without questions: four numbered empty rows
        QCOMPARE(rows(4), (QStringList{"1|||", "2|||", "3|||", "4|||"}));
        QCOMPARE(grid()->rows(), 5);
    }

    void modifyingWritesTheRecordItStartedFrom()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(4); // "Rara", stored with answer 7, shown as No
        click("Command1");
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Rara"));
        QVERIFY(option(1)->isChecked() && !option(0)->isChecked());
        QCOMPARE(QApplication::focusWidget(), text1());

        // The teacher clicks elsewhere meanwhile: the edited record is still the one written.
        chooseTopic(2);
        text1()->setPlainText(QStringLiteral("  uno\r\ndos  "));
        clickAnswering("Command5", kUpdated);
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
        text1()->setPlainText(QString(300, u'z'));
        clickAnswering("Command5", kUpdated);
        QCOMPARE(bank().left(256), record(1, 1, QByteArray(250, 'z'), 0));
        QCOMPARE(rows(1), (QStringList{"1|" + QString(250, u'z') + "|No|1"}));
    }

    void refusalsLeaveTheBankAndTheEditAsTheyWere_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<int>("answer"); // option to set, -1 for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("modify: spaces and breaks only") << false << 0 << "  \r\n \n "
                                                        << "No hay texto de pregunta";
        QTest::newRow("add: empty text is checked before the answer") << true << -1 << " \n "
                                                                      << "No hay texto de pregunta";
        QTest::newRow("add: no answer") << true << -1 << "Nueva"
                                        << "No se ha especificado la "
                                           "respuesta correcta";
        QTest::newRow("add: outside the code page")
            << true << 0 << "Flecha → y ✓"
            << "El texto contiene caracteres que no se pueden guardar: «→» (U+2192), «✓» (U+2713)";
        QTest::newRow("modify: outside the code page")
            << false << 1 << "Flecha →"
            << "El texto contiene caracteres que no se pueden guardar: «→» (U+2192)";
    }
    void refusalsLeaveTheBankAndTheEditAsTheyWere()
    {
        QFETCH(bool, adding);
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QVERIFY(openWindow(kRecords));
        if (adding) {
            click("Command4");
        } else {
            chooseRow(2);
            click("Command1");
        }
        if (answer >= 0)
            option(answer)->setChecked(true);
        text1()->setPlainText(typed);
        clickAnswering("Command5", message);
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QString(typed).replace("\r\n", "\n"));
        QCOMPARE(bank(), kRecords.join());
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
        clickAnswering("Command5", kUpdated);
        QCOMPARE(bank(), kRecords.join() + record(1, 4, "Nueva pregunta del tema cuatro", 1));
        QCOMPARE(rows(2), (QStringList{"1|Nueva pregunta del tema cuatro|Sí|6", "2|||"}));
        QVERIFY(!editing());
        QVERIFY(m_window->adding()); // the flags keep their values until the next start
    }

    void aFiftyFirstQuestionOfATopicIsRefused()
    {
        QList<QByteArray> full;
        for (int i = 1; i <= 50; ++i)
            full << record(2, 1, "Pregunta " + QByteArray::number(i), i % 2);
        QVERIFY(openWindow(full));
        m_window->findChild<QListWidget *>("List1")->setCurrentRow(1);
        QCOMPARE(grid()->rows(), 51);
        click("Command4");
        text1()->setPlainText(QStringLiteral("Una de más"));
        option(1)->setChecked(true);
        clickAnswering("Command5",
                       QStringLiteral("No se pueden añadir más de 50 preguntas en un mismo tema"));
        QCOMPARE(bank(), full.join());
        QVERIFY(editing());
    }

    void modifyAndDeleteNeedAQuestion_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("no row chosen") << 0;
        QTest::newRow("a filler row") << 3;
    }
    void modifyAndDeleteNeedAQuestion()
    {
        QFETCH(int, row);
        QVERIFY(openWindow(kRecords));
        chooseTopic(2); // one question, three filler rows
        if (row > 0)
            chooseRow(row);
        clickAnswering("Command1", QStringLiteral("Seleccione una pregunta para modificar"));
        QVERIFY(!editing());
        clickAnswering("Command3", QStringLiteral("Seleccione una pregunta para eliminar"));
        QCOMPARE(bank(), kRecords.join());
    }

    void deletingAsksThenRenumbersUnderTheMixedCaseName()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(1);
        const QString question =
            QStringLiteral("¿Seguro que quiere eliminar la pregunta \"Primera\"");
        clickAnswering("Command3", question, QStringLiteral("Cancelar"), kOkCancel);
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(bank(), kRecords.join());

        chooseRow(1);
        MessageBoxResponder responder;
        responder.expect(question, kOkCancel, QStringLiteral("Aceptar"));
        responder.expect(kUpdated, kOk, QStringLiteral("Aceptar"));
        click("Command3");
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QCOMPARE(onlyBankName(), QStringLiteral("Qelmext2.dat"));
        QCOMPARE(bank(),
                 (QList<QByteArray>{kRecords[1], kRecords[2], kRecords[3], kRecords[4]}).join());
        QCOMPARE(rows(4), (QStringList{"1|Segunda|No|1", "2|Tercera|Sí|2", "3|Rara|No|4", "4|||"}));
        QCOMPARE(grid()->row(), 0);

        // The last record, then the rest: the file ends empty.
        for (int remaining = 3; remaining >= 0; --remaining) {
            chooseRow(remaining == 3 ? 3 : 1);
            responder.expect(QStringLiteral("¿Seguro que quiere eliminar la pregunta \"%1\"")
                                 .arg(grid()->textMatrix(grid()->row(), 1)),
                             kOkCancel, QStringLiteral("Aceptar"));
            responder.expect(kUpdated, kOk, QStringLiteral("Aceptar"));
            click("Command3");
            QVERIFY(responder.waitUntilAnswered());
            if (remaining == 3)
                QCOMPARE(bank(), (QList<QByteArray>{kRecords[1], kRecords[2], kRecords[3]}).join());
            if (remaining == 1) // only "Del tema dos" is left, in topic 2
                chooseTopic(2);
        }
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QCOMPARE(bank(), QByteArray());
        QCOMPARE(onlyBankName(), QStringLiteral("Qelmext2.dat"));
    }

    void aFailedChangeIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("fullDisk"); // otherwise a read-only folder
        QTest::newRow("modify, read-only folder") << "modify" << false;
        QTest::newRow("delete, read-only folder") << "delete" << false;
        QTest::newRow("modify, full disk") << "modify" << true;
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
        const QString failed = QStringLiteral("No se ha podido actualizar la base de datos: …");
        {
            // The bank is 1,280 bytes: a limit below that stops a rewrite,
            // and a limit at its size stops an addition.
            std::optional<testFiles::FileSizeLimit> limit;
            std::optional<testFiles::ReadOnlyFolder> readOnly;
            if (fullDisk)
                QVERIFY(limit.emplace(operation == u"add" ? 1280 : 1000).isActive());
            else
                QVERIFY(readOnly.emplace(m_dir->path()).isActive());
            if (operation == u"delete") {
                chooseRow(2);
                MessageBoxResponder responder;
                responder.expect(
                    QStringLiteral("¿Seguro que quiere eliminar la pregunta \"Segunda\""),
                    kOkCancel, QStringLiteral("Aceptar"));
                responder.expect(failed, kOk, QStringLiteral("Aceptar"));
                click("Command3");
                QVERIFY(responder.waitUntilAnswered());
                QCOMPARE(responder.failures().join(u'\n'), QString());
            } else {
                clickAnswering("Command5", failed);
                QVERIFY(editing());
                QCOMPARE(text1()->toPlainText(), typed);
            }
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"QELMEXT2.DAT"});
        QCOMPARE(bank(), kRecords.join());
        QCOMPARE(rows(4), (QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|Tercera|Sí|3",
                                       "4|Rara|No|5"}));
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
        QTest::addColumn<int>("edited");
        QTest::addColumn<QList<QByteArray>>("saved"); // after the second "Actualizar"
        const QByteArray changed = record(1, 1, "Tercera cambiada", 1);
        QTest::newRow("an earlier question deleted")
            << QList<QByteArray>{kRecords[1], kRecords[2], kRecords[3], kRecords[4]} << ""
            << QStringList{"1|Segunda|No|1", "2|Tercera|Sí|2", "3|Rara|No|4"} << 2
            << QList<QByteArray>{kRecords[1], changed, kRecords[3], kRecords[4]};
        QTest::newRow("the question itself deleted, saved as new")
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3]} << "Aceptar"
            << QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|||"} << 0
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3], changed};
        QTest::newRow("the question itself deleted, not saved")
            << QList<QByteArray>{kRecords[0], kRecords[1], kRecords[3]} << "Cancelar"
            << QStringList{"1|Primera|Sí|1", "2|Segunda|No|2", "3|||"} << 0 << QList<QByteArray>{};
    }
    void aBankReplacedDuringAnEditIsReloadedAndNothingWritten()
    {
        QFETCH(QList<QByteArray>, replaced);
        QFETCH(QString, gone);
        QFETCH(QStringList, shown);
        QFETCH(int, edited);
        QFETCH(QList<QByteArray>, saved);
        QVERIFY(openWindow(kRecords));
        chooseRow(3);
        click("Command1");
        text1()->setPlainText(QStringLiteral("Tercera cambiada"));

        // As another program does it: a new file renamed over the old one.
        const QString other = m_dir->filePath(QStringLiteral("otro.tmp"));
        QVERIFY(testFiles::writeFile(other, replaced.join()));
        QVERIFY(QFile::remove(bankPath()) && QFile::rename(other, bankPath()));

        const QString question = QStringLiteral("La pregunta que estaba modificando ya no está en "
                                                "el banco de preguntas. ¿Quiere guardar el texto "
                                                "como una pregunta nueva?");
        {
            MessageBoxResponder responder;
            responder.expect(QStringLiteral("El banco de preguntas ha cambiado desde otro programa "
                                            "y se ha vuelto a cargar. Revise la pregunta y vuelva "
                                            "a pulsar Actualizar."),
                             kOk, QStringLiteral("Aceptar"));
            if (!gone.isEmpty())
                responder.expect(question, kOkCancel, gone);
            click("Command5");
            QVERIFY2(responder.waitUntilAnswered(), qPrintable(responder.failures().join(u'\n')));
            QCOMPARE(responder.failures().join(u'\n'), QString());
        }
        QCOMPARE(bank(), replaced.join());
        QCOMPARE(rows(3), shown);
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Tercera cambiada"));
        QCOMPARE(m_window->editedRecord(), edited);
        QCOMPARE(m_window->adding(), gone == u"Aceptar");

        if (gone == u"Cancelar") {
            // Asked again at every "Actualizar"; "Cancelar" then drops the edit.
            clickAnswering("Command5", question, QStringLiteral("Cancelar"), kOkCancel);
            QVERIFY(editing());
            click("Command6");
            QCOMPARE(bank(), replaced.join());
            return;
        }
        clickAnswering("Command5", kUpdated);
        QVERIFY(!editing());
        QCOMPARE(bank(), saved.join());
    }

    void cancelDropsTheEditWithoutWriting()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(2);
        click("Command1");
        text1()->setPlainText(QStringLiteral("otra cosa"));
        MessageBoxResponder responder;
        click("Command6");
        QVERIFY(!editing());
        QCOMPARE(text1()->toPlainText(), QString());
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(bank(), kRecords.join());
        // A double-click on the grid while editing clears the chosen row; the edit stays.
        click("Command4");
        chooseRow(2);
        const FlexGrid::CellSpot spot = grid()->locateCell(2, 1);
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QCOMPARE(grid()->row(), 0);
        QVERIFY(editing());
        QCOMPARE(responder.seen(), 0);
    }

    void leavingAsksUnlessHelpWasOpened()
    {
        QVERIFY(openWindow(kRecords));
        const QString leave =
            QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de tipo test?");
        MessageBoxResponder responder;
        responder.expect(leave, kOkCancel, QStringLiteral("Cancelar"));
        m_main->window.activateWindow();
        QTRY_COMPARE(responder.pending(), 0);
        QVERIFY(QTest::qWaitForWindowActive(m_window));

        ActiveWindowCode = ActiveWindowCodes::kTrueFalseMaintenance; // as the help button leaves it
        m_main->window.activateWindow();
        // The window's deactivation has run once the main window is the active form.
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(&m_main->window));
        QVERIFY(m_window);

        ActiveWindowCode = ActiveWindowCodes::kNone; // help closed with its button
        m_window->activateWindow();
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        responder.expect(leave, kOkCancel, QStringLiteral("Aceptar"));
        m_main->window.activateWindow();
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QTRY_VERIFY(!m_window);
        QCOMPARE(OpenFiles::count(), 0);
        QCOMPARE(m_main->statusText, QString());
        QCOMPARE(bank(), kRecords.join());
    }

    void closeBoxAsksOnlyWhileEditing_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("closed");
        QTest::newRow("browsing closes") << false << QString() << true;
        QTest::newRow("editing, Cancelar keeps the edit") << true << "Cancelar" << false;
        QTest::newRow("editing, Enter keeps the edit")
            << true << MessageBoxResponder::kEnter << false;
        QTest::newRow("editing, Aceptar closes") << true << "Aceptar" << true;
    }
    void closeBoxAsksOnlyWhileEditing()
    {
        QFETCH(bool, editing);
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QVERIFY(openWindow(kRecords));
        if (editing) {
            chooseRow(2);
            click("Command1");
            text1()->setPlainText(QStringLiteral("a medio escribir"));
        }
        MessageBoxResponder responder;
        if (!answer.isEmpty())
            responder.expect(
                QStringLiteral(
                    "¿Seguro que quiere salir de actualización de preguntas de tipo test?"),
                kOkCancel, answer);
        m_window->close();
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QCOMPARE(responder.seen(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(bank(), kRecords.join());
        if (closed) {
            QTRY_VERIFY(!m_window);
            QCOMPARE(OpenFiles::count(), 0);
            return;
        }
        QVERIFY(m_window->isVisible());
        QVERIFY(this->editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("a medio escribir"));
    }

    void enterModifiesAndDeleteDeletesFromTheGrid()
    {
        QVERIFY(openWindow(kRecords));
        chooseRow(2);
        QTest::keyClick(grid()->view(), Qt::Key_Return);
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Segunda"));
        click("Command6");

        chooseRow(1);
        MessageBoxResponder responder; // Enter on the question keeps the question
        responder.expect(QStringLiteral("¿Seguro que quiere eliminar la pregunta \"Primera\""),
                         kOkCancel, MessageBoxResponder::kEnter);
        QTest::keyClick(grid()->view(), Qt::Key_Delete);
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QCOMPARE(bank(), kRecords.join());
        QCOMPARE(rows(1), (QStringList{"1|Primera|Sí|1"}));
    }

    void opensWithANoticeOfWhatItCannotShow()
    {
        QByteArray torn = kRecords.join() + record(30, 1, "Capítulo inexistente", 1);
        torn += QByteArray(56, 'x');
        QVERIFY(testFiles::writeFile(bankPath(), torn));
        QVERIFY(testFiles::writeFile(m_dir->filePath("qelmext2.dat"), record(1, 1, "Vieja", 1)));
        QVERIFY(testFiles::setModified(m_dir->filePath("qelmext2.dat"),
                                       QDateTime::currentDateTime().addDays(-1)));
        MessageBoxResponder notice;
        notice.expect(QStringLiteral("…"), kOk, QStringLiteral("Aceptar"));
        QVERIFY(openWindowOnFolder(&notice));
        QCOMPARE(notice.seenTexts().size(), 1);
        const QString text = notice.seenTexts().first();
        QCOMPARE(notice.failures().join(u'\n'), QString());
        QVERIFY2(text.contains("1 preguntas del fichero no se pueden mostrar"), qPrintable(text));
        QVERIFY2(text.contains("56 bytes"), qPrintable(text));
        QVERIFY2(text.contains("qelmext2.dat"), qPrintable(text));
        QCOMPARE(rows(1), (QStringList{"1|Primera|Sí|1"}));
    }
    void fitsTheScreenAndGivesExtraRoomToTheGrid()
    {
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        QVERIFY(openWindow(kRecords));
        QTRY_COMPARE(ScreenFit::outsidePlaces(m_window).join(u','), QString());
        QVERIFY(m_window->minimumSize().width() <= m_window->designSize().width());

        const auto place = [this](const char *name) {
            return m_window->findChild<QWidget *>(name)->geometry();
        };
        const QRect grid3 = place("Grid3"), frame3 = place("Frame3"), exit = place("Command2");
        const QRect list2 = place("List2"), hint = place("Label1_4"), modify = place("Command1");
        m_window->resize(m_window->size() + QSize(100, 120));
        QTRY_COMPARE(place("Grid3"), grid3.adjusted(0, 0, 100, 120));
        QCOMPARE(place("Command1"), modify.translated(0, 120));
        QCOMPARE(place("Frame3"), frame3.translated(0, 120));
        QCOMPARE(place("Command2"), exit.translated(0, 120));
        QCOMPARE(place("List2"), list2);
        QCOMPARE(place("Label1_4"), hint);
    }

    void aQuestionModifiedWithTheKeyboardAlone()
    {
        QVERIFY(openWindow(kRecords));
        QTRY_COMPARE(focusName(), QStringLiteral("List1"));
        QCOMPARE(tabTo("Grid3"), QStringLiteral("Grid3"));
        QCOMPARE(grid()->row(), 1); // reached by Tab: the first row
        press(Qt::Key_Down);
        QCOMPARE(tabTo("Command1"), QStringLiteral("Command1"));
        press(Qt::Key_Space);
        QVERIFY(editing());
        QCOMPARE(focusName(), QStringLiteral("Text1"));
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Segunda"));
        QTest::keyClicks(text1(), QStringLiteral(" bis"));
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Option1_0"));
        press(Qt::Key_Space);
        QVERIFY(option(0)->isChecked() && !option(1)->isChecked());
        QCOMPARE(tabTo("Command5"), QStringLiteral("Command5"));

        MessageBoxResponder responder;
        responder.expect(kUpdated, kOk, MessageBoxResponder::kEnter);
        press(Qt::Key_Return);
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(responder.failures().join(u'\n'), QString());
        QVERIFY(!editing());
        QTRY_COMPARE(focusName(), QStringLiteral("Grid3")); // the keyboard goes on from the grid
        QCOMPARE(bank(), (QList<QByteArray>{kRecords[0], record(1, 1, "Segunda bis", 1),
                                            kRecords[2], kRecords[3], kRecords[4]})
                             .join());

        QCOMPARE(tabTo("Command2", Qt::Key_Backtab), QStringLiteral("Command2"));
        press(Qt::Key_Return);
        QTRY_VERIFY(!m_window);
        QCOMPARE(OpenFiles::count(), 0);
    }

    void everyChapterAndTopicTitleFitsItsList()
    {
        QVERIFY(openWindow(kRecords));
        auto *chapters = m_window->findChild<QListWidget *>("List1");
        QCOMPARE(chapters->count(), 22);
        QCOMPARE(ScreenFit::overwideEntries(chapters).join(u'\n'), QString());
        QTRY_VERIFY(chapters->verticalScrollBar()->isVisible()); // laid out
        QCOMPARE(chapters->horizontalScrollBar()->maximum(), 0);
        auto *topics = m_window->findChild<QListWidget *>("List2");
        QStringList overwide;
        for (int row = 0; row < chapters->count(); ++row) {
            chapters->setCurrentRow(row);
            QVERIFY(topics->count() > 0);
            overwide += ScreenFit::overwideEntries(topics);
        }
        QCOMPARE(overwide.join(u'\n'), QString());
    }
};

QTEST_MAIN(tst_Testmodi)
#include "tst_Testmodi.moc"
