// The exposition maintenance window driven as a teacher drives it, kind by
// kind: modifying, adding (cut to the kind's width), deleting with the
// renumbering, the kind switch that drops an edit, a torn file reported and
// not built upon, and the per-chapter limits.
#include "EmptyBankFolder.h"
#include "Exammodi.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "TestFiles.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtEndian>
#include <QtTest>

using namespace GuiTest;
using Box = MessageBoxResponder::Box;

namespace {

const Box kUpdated = MessageBoxResponder::notice(QStringLiteral("Base de datos actualizada"));
const char *const kFiles[3] = {"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT"};
const char *const kRewritten[3] = {"Qelmexe1.dat", "Qelmexe2.dat", "Qelmexe3.dat"};
const int kLengths[3] = {502, 1002, 152};

// One record of kind k as the file holds it, built byte by byte.
QByteArray record(int k, int chapter, const QByteArray &text)
{
    QByteArray bytes(kLengths[k], ' ');
    qToLittleEndian<qint16>(qint16(chapter), bytes.data());
    bytes.replace(2, qMin<qsizetype>(text.size(), kLengths[k] - 2), text.left(kLengths[k] - 2));
    return bytes;
}

} // namespace

class tst_Exammodi : public QObject
{
    Q_OBJECT

private:
    GuiFixture<EmptyBankFolder> m_gui;
    QPointer<Exammodi> m_window;

    bool writeBank(const char *name, const QByteArray &bytes)
    {
        return testFiles::writeFile(m_gui.bank->filePath(name), bytes);
    }
    // The bank file of that name, whatever the case of the entry that holds it.
    QByteArray file(const char *name) const
    {
        const QStringList anyCase = names().filter(
            QRegularExpression(QStringLiteral("^%1$").arg(QRegularExpression::escape(name)),
                               QRegularExpression::CaseInsensitiveOption));
        if (anyCase.size() != 1)
            return "<" + anyCase.join(u' ').toUtf8() + ">";
        return testFiles::readFile(m_gui.bank->filePath(anyCase.first()));
    }
    QStringList names() const { return QDir(m_gui.bank->path()).entryList(QDir::Files); }
    FlexGrid *grid() const { return m_window->findChild<FlexGrid *>("Grid3"); }
    QPlainTextEdit *text1() const { return m_window->findChild<QPlainTextEdit *>("Text1"); }
    void click(const char *name)
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // What went wrong with the boxes a click on the button must show.
    QString clickAnswering(const char *name, const QList<Box> &boxes)
    {
        return MessageBoxResponder::answer(boxes, [this, name] { click(name); });
    }
    void chooseKind(int k)
    {
        QTest::mouseClick(m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(k)),
                          Qt::LeftButton);
        QCOMPARE(int(m_window->currentKind()), k);
    }
    void chooseChapter(int chapter)
    {
        m_window->findChild<QListWidget *>("List1")->setCurrentRow(chapter - 1);
        QCOMPARE(m_window->currentChapter(), chapter);
    }
    void chooseRow(int row)
    {
        QVERIFY(clickCell(grid(), row, 1));
        QCOMPARE(grid()->row(), row);
    }
    // "text|record" for rows 1..count.
    QStringList rows(int count) const
    {
        QStringList shown;
        for (int r = 1; r <= count; ++r)
            shown << grid()->textMatrix(r, 1) + u'|' + grid()->textMatrix(r, 2);
        return shown;
    }
    bool editing() const { return text1()->isEnabled(); }
    QString lengthShown() const { return m_window->findChild<QLabel *>("TextLength")->text(); }
    bool openWindow()
    {
        m_window = m_gui.open<Exammodi>(Exammodi::kName, ActiveWindowCodes::kMain);
        return m_window;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
    }
    void cleanup() { m_gui.tearDown(); }

    void modifyAddAndDeleteInEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("room"); // characters of the kind's record text
        QTest::newRow("conceptual") << 0 << 500;
        QTest::newRow("practical") << 1 << 1000;
        QTest::newRow("brief") << 2 << 150;
    }
    void modifyAddAndDeleteInEachKind()
    {
        QFETCH(int, kind);
        QFETCH(int, room);
        const QList<QByteArray> records{record(kind, 3, "Uno"), record(kind, 1, "Dos"),
                                        record(kind, 3, "Tres")};
        QVERIFY(writeBank(kFiles[kind], records.join()));
        QVERIFY(openWindow());
        chooseKind(kind);
        chooseChapter(3);
        QCOMPARE(rows(4), (QStringList{"Uno|1", "Tres|3", "|", "|"}));
        QVERIFY(grid()->isColHidden(2));

        // Modify "Tres": two typed lines become one.
        chooseRow(2);
        click("Command1");
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("Tres"));
        text1()->setPlainText(QStringLiteral("  \r\n  abc\r\ndef"));
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QVERIFY(!editing());
        QCOMPARE(file(kFiles[kind]), records[0] + records[1] + record(kind, 3, "  abcdef"));
        QCOMPARE(rows(2), (QStringList{"Uno|1", "abcdef|3"}));

        // A text longer than the kind's record holds is refused and stays in
        // the editor; shortened to fit, it is added.
        const QByteArray modified = records[0] + records[1] + record(kind, 3, "  abcdef");
        click("Command4");
        chooseChapter(5); // the chapter chosen at "Actualizar" is the one that counts
        text1()->setPlainText(QString(room, u'a') + QStringLiteral("\r\nbbb  "));
        QCOMPARE(lengthShown(), QStringLiteral("%1 / %2").arg(room + 3).arg(room));
        const Box tooLong = MessageBoxResponder::notice(
            QStringLiteral("El texto tiene %1 caracteres y en la pregunta caben %2. Acórtelo antes "
                           "de guardarlo.")
                .arg(room + 3)
                .arg(room));
        QCOMPARE(clickAnswering("Command5", {tooLong}), QString());
        QVERIFY(editing());
        QCOMPARE(text1()->toPlainText(), QString(room, u'a') + QStringLiteral("\nbbb  "));
        QCOMPARE(file(kFiles[kind]), modified);
        text1()->setPlainText(QString(room, u'a'));
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        const QByteArray added = record(kind, 5, QByteArray(room, 'a'));
        QCOMPARE(file(kFiles[kind]), modified + added);
        QCOMPARE(rows(1), (QStringList{QString(room, u'a') + "|4"}));

        // Delete record 1: the others move forward under the mixed-case name.
        chooseChapter(3);
        chooseRow(1);
        const Box askDelete = MessageBoxResponder::question(
            QStringLiteral("¿Seguro que quiere eliminar la pregunta \"Uno\""), "Aceptar");
        QCOMPARE(clickAnswering("Command3", {askDelete, kUpdated}), QString());
        QVERIFY(names().contains(kRewritten[kind]) && !names().contains(kFiles[kind]));
        QCOMPARE(file(kRewritten[kind]), records[1] + record(kind, 3, "  abcdef") + added);
        QCOMPARE(rows(2), (QStringList{"abcdef|2", "|"}));
    }

    void switchingKindDropsTheEditAndWritesNothing()
    {
        QVERIFY(writeBank(kFiles[0], record(0, 1, "Concepto")));
        QVERIFY(writeBank(kFiles[2], record(2, 1, "Breve")));
        QVERIFY(openWindow());
        chooseRow(1);
        click("Command1");
        text1()->setPlainText(QStringLiteral("cambiado"));
        QCOMPARE(MessageBoxResponder::answer({}, [this] { chooseKind(2); }), QString());
        QVERIFY(!editing());
        QCOMPARE(text1()->toPlainText(), QString());
        QVERIFY(m_window->findChild<QPushButton *>("Command1")->isEnabled());
        QCOMPARE(rows(1), (QStringList{"Breve|1"}));
        QCOMPARE(OpenFiles::count(), 1);
        QCOMPARE(MessageBoxResponder::answer({}, [this] { chooseKind(0); }), QString());
        QCOMPARE(file(kFiles[0]), record(0, 1, "Concepto"));
        QCOMPARE(file(kFiles[2]), record(2, 1, "Breve"));
        QVERIFY(!QFileInfo::exists(m_gui.bank->filePath(kFiles[1]))); // never opened
    }

    void aTornFileIsReportedOnceAndNotBuiltUpon()
    {
        const QByteArray whole =
            record(0, 1, "Uno") + record(0, 1, "Dos") + record(0, 2, "Tres"); // 1,506 bytes
        const QByteArray torn = whole + QByteArray(251, 'x');                 // 1,757 bytes
        QVERIFY(writeBank(kFiles[0], torn));
        {
            MessageBoxResponder notice;
            notice.expect(QStringLiteral("…"), {"Aceptar"}, QStringLiteral("Aceptar"));
            QVERIFY(openWindow());
            QVERIFY(notice.waitUntilAnswered());
            QCOMPARE(notice.failures().join(u'\n'), QString());
            QVERIFY2(notice.seenTexts().first().contains(QStringLiteral("251")),
                     qPrintable(notice.seenTexts().first()));
            QCOMPARE(rows(3), (QStringList{"Uno|1", "Dos|2", "|"}));

            chooseKind(2); // a clean kind says nothing
            chooseKind(0); // and the torn one is not reported twice
            QCOMPARE(notice.seen(), 1);
            QCOMPARE(notice.failures().join(u'\n'), QString());
        }

        click("Command4");
        text1()->setPlainText(QStringLiteral("Cuatro"));
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QCOMPARE(file(kFiles[0]), whole + record(0, 1, "Cuatro"));
        QCOMPARE(rows(3), (QStringList{"Uno|1", "Dos|2", "Cuatro|4"}));
    }

    void aFullChapterRefusesOneMore_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("maximum");
        QTest::newRow("conceptual") << 0 << 100;
        QTest::newRow("brief") << 2 << 200;
    }
    void aFullChapterRefusesOneMore()
    {
        QFETCH(int, kind);
        QFETCH(int, maximum);
        QByteArray full;
        for (int i = 1; i <= maximum; ++i)
            full += record(kind, 7, "Pregunta " + QByteArray::number(i));
        QVERIFY(writeBank(kFiles[kind], full));
        QVERIFY(openWindow());
        chooseKind(kind);
        chooseChapter(7);
        QCOMPARE(grid()->rows(), maximum + 1);
        click("Command4");
        text1()->setPlainText(QStringLiteral("Una de más"));
        const Box refusal = MessageBoxResponder::notice(
            QStringLiteral("No se pueden añadir más de %1 preguntas de este tipo en un mismo "
                           "capítulo")
                .arg(maximum));
        QCOMPARE(clickAnswering("Command5", {refusal}), QString());
        QVERIFY(editing());
        QCOMPARE(file(kFiles[kind]), full);
        chooseChapter(8); // another chapter still takes it
        QCOMPARE(clickAnswering("Command5", {kUpdated}), QString());
        QCOMPARE(file(kFiles[kind]), full + record(kind, 8, "Una de m\xE1s"));
    }

    void cancelGivesTheChapterListTheFocus()
    {
        QVERIFY(writeBank(kFiles[0], record(0, 1, "Concepto")));
        QVERIFY(openWindow());
        click("Command4");
        text1()->setPlainText(QStringLiteral("nada"));
        click("Command6");
        QVERIFY(!editing());
        QCOMPARE(QApplication::focusWidget(), m_window->findChild<QListWidget *>("List1"));
        QCOMPARE(file(kFiles[0]), record(0, 1, "Concepto"));
        // A double-click on the grid only clears the chosen row: the focus
        // stays in the grid it went to.
        QVERIFY(doubleClickCell(grid(), 1, 1));
        QCOMPARE(grid()->row(), 0);
        QCOMPARE(focusName(), QStringLiteral("Grid3"));

        const Box askLeave = MessageBoxResponder::question(
            QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de exposición?"),
            "Aceptar");
        QCOMPARE(MessageBoxResponder::answer({askLeave},
                                             [this] { m_gui.main->window.activateWindow(); }),
                 QString());
        QTRY_VERIFY(!m_window);
        QCOMPARE(OpenFiles::count(), 0);
        QVERIFY(m_gui.main->helpButtonVisible);
    }
};

QTEST_MAIN(tst_Exammodi)
#include "tst_Exammodi.moc"
