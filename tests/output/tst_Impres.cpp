// The output window driven by its buttons: what reaches the clipboard, a
// text file (its exact bytes) and the printer (a PDF read back), and what the
// teacher is told when it cannot; what the exam history records, or says when
// it cannot.
#include "BankFolders.h"
#include "ExamFormatDialog.h"
#include "ExamHistory.h"
#include "ExamText.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "ProgramState.h"
#include "SaveDialogResponder.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace GuiTest;

namespace {
const QString kText = QStringLiteral("EXAMEN\r\n\r\nSí(•) No( )  -  Primera\r\n");
// The exams in the history, none when it does not open.
QList<HistoryExam> historyExams()
{
    ExamHistory history;
    QString error = history.open(ExamHistory::Access::ReadOnly);
    const QList<HistoryExam> exams = history.exams(&error);
    return error.isEmpty() ? exams : QList<HistoryExam>();
}
} // namespace

class tst_Impres : public QObject
{
    Q_OBJECT

    GuiFixture<TrueFalseBankFixture> m_gui; // its bank folder is the working directory
    QPointer<Impres> m_window;
    QTemporaryDir m_settings; // the user's settings while the suite runs

    // Clicks the button; empty when exactly the boxes came and were answered.
    QString press(const QString &button, const QList<MessageBoxResponder::Box> &boxes)
    {
        return MessageBoxResponder::answer(boxes, [&] { click(m_window, button); });
    }
    const MessageBoxResponder::Box m_copied = MessageBoxResponder::notice(
        "Texto transferido al portapapeles. Para recuperar su contenido en un procesador de textos "
        "pulse el botón derecho del ratón y selecciones 'Pegar'.");
    const MessageBoxResponder::Box m_saved =
        MessageBoxResponder::notice("Fichero guardado como: …");
    // While `timer` lives, each time the modal dialog `name` is up: `fill`, then Aceptar.
    void answerDialog(QTimer &timer, const QString &name,
                      const std::function<void(QDialog *)> &fill)
    {
        connect(&timer, &QTimer::timeout, this, [name, fill] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->objectName() == name) {
                fill(dialog);
                dialog->accept();
            }
        });
        timer.start(20);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init()
    {
        QVERIFY(m_gui.setUp());
        registerWindows<Impres>();
        m_window = m_gui.open<Impres>(Impres::kName, ActiveWindowCodes::kTrueFalseSelection);
        QVERIFY(m_window);
    }
    void cleanup() { m_gui.tearDown(); }

    // What each button leaves where it sends the text, and what it says.
    void eachButtonSaysWhatReachedWhere_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer"); // the file name typed ("-": cancelled), or the printer
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("placed"); // the file's bytes after
        // clang-format off
        QTest::newRow("file, its extension kept") << "Command1_2" << "examen.TXT" << kText << "Fichero guardado como: …" << QByteArray("EXAMEN\r\n\r\nS\xED(\x95) No( )  -  Primera\r\n\r\n");
        QTest::newRow("file cancelled") << "Command1_2" << "-" << kText << "" << QByteArray();
        QTest::newRow("file not writable") << "Command1_2" << "no/existe/x.TXT" << kText << "No se ha podido guardar el fichero: …" << QByteArray();
        QTest::newRow("file, outside the code page") << "Command1_2" << "otro.TXT" << "a → b ✓ →" << "El texto contiene caracteres que no se pueden guardar en un fichero de texto: «→» " "(U+2192), «✓» (U+2713). Cámbielos o bórrelos; no se ha guardado nada." << QByteArray();
        QTest::newRow("PDF, folder not writable") << "CommandPdf" << "no/existe/x.pdf" << kText << "No se ha podido guardar el fichero: …" << QByteArray();
        QTest::newRow("no default printer") << "Command1_1" << "none" << kText << "No se ha podido imprimir: no hay ninguna impresora predeterminada en el sistema" << QByteArray();
        QTest::newRow("help, the output window's section") << "Command3" << "-" << kText << "" << QByteArray();
        QTest::newRow("the printer refuses the job") << "Command1_1" << "pdf" << kText << "No se ha podido imprimir: la impresora …" << QByteArray();
        // clang-format on
    }
    void eachButtonSaysWhatReachedWhere()
    {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QByteArray, placed);
        QTemporaryDir dir; // the printer's file, in a folder that is not there
        if (answer == u"none")
            PrinterSeam::setFactory([] { return std::unique_ptr<QPrinter>(); });
        else
            printTo(dir.filePath("no-existe/impreso.pdf"));
        SaveDialogResponder dialog;
        if (answer != u"-")
            dialog.name = answer;
        const QStringList before = QDir::current().entryList(QDir::AllEntries);
        m_window->findChild<QPlainTextEdit *>("Text1")->setPlainText(typed);
        QList<MessageBoxResponder::Box> boxes;
        if (!message.isEmpty())
            boxes << MessageBoxResponder::notice(message);
        QCOMPARE(press(button, boxes), QString());
        if (!placed.isEmpty())
            QCOMPARE(testFiles::readFile(m_gui.bank->filePath(answer)), placed);
        else
            QCOMPARE(QDir::current().entryList(QDir::AllEntries), before);
        QCOMPARE(m_gui.main->statusText, QStringLiteral("Imprimir examen")); // nothing printed
        QVERIFY(!m_gui.main->toolbarEnabled); // no other window while the exam is out here
        QCOMPARE(ActiveWindowCode, button == u"Command3" ? ActiveWindowCodes::kOutput
                                                         : ActiveWindowCodes::kTrueFalseSelection);
    }

    // With the bank in a hidden folder of its own, the dialog starts among
    // the teacher's documents, then, in a later visit too, in the folder the
    // last file went to; a name without extension gets ".txt".
    void savesAmongTheTeachersFoldersWithThePersonalBank()
    {
        QTemporaryDir home;
        const QByteArray ownHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QVERIFY(QDir(home.path()).mkpath("Documents") && QDir(home.path()).mkpath("examenes"));
        SaveDialog::setUserFolders(true);
        SaveDialogResponder dialog;
        QStringList folders;
        for (const char *name : {"examenes/primero", "segundo.TXT"}) {
            dialog.name = folders.isEmpty() ? home.filePath(name) : QString(name);
            QCOMPARE(press("Command1_2", {m_saved}), QString());
            folders << QDir(home.path()).relativeFilePath(dialog.folder);
            Forms::unload(Impres::kName);
            QVERIFY(m_gui.main->toolbarEnabled); // the other windows open again
            QVERIFY(m_window = m_gui.open<Impres>(Impres::kName, ActiveWindowCodes::kNone));
        }
        SaveDialog::setUserFolders(false);
        qputenv("HOME", ownHome);
        QCOMPARE(folders, (QStringList{"Documents", "examenes"}));
        QVERIFY(QFile::exists(home.filePath("examenes/primero.txt")));
        QVERIFY(QFile::exists(home.filePath("examenes/segundo.TXT")));
    }

    // Versions replace the text received and every output carries them (the
    // PDF laid out from the exam, in the format last accepted); one version
    // gives the text received back; a typed seed makes its versions again.
    void versionsReachEveryOutputAndThePdfItsFormat()
    {
        QTemporaryDir dir;
        const QString printed = dir.filePath("impreso.pdf");
        printTo(printed);
        ExamDescription exam;
        for (const char *text : {"a", "b", "c", "d"})
            exam.selection.add({QuestionKind::TrueFalse, 1, 1, text, *text == 'a'});
        m_window->receiveText(kText, exam);
        auto *seed = m_window->findChild<QLineEdit *>("Clave");
        m_window->findChild<QSpinBox *>("Versiones")->setValue(2);
        QVERIFY(!seed->text().isEmpty()); // drawn for the first versions
        seed->clear();
        QTest::keyClicks(seed, "1234567");
        QTest::keyClick(seed, Qt::Key_Return); // its versions: the history's seed below
        QTimer dialogs;
        answerDialog(dialogs, "FormatoExamen", [](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("Curso")->setText("Economía");
        });
        click(m_window, "CommandFormato");
        // The answer sheets are asked for two students, in the order a class is handed them.
        answerDialog(dialogs, "Copias", [](QDialog *dialog) {
            dialog->findChild<QSpinBox *>("TextCopias")->setValue(2);
        });
        SaveDialogResponder dialog;
        QCOMPARE(press("Command1_1", {}), QString()); // printed without a word
        for (const char *button : {"Command1_2", "CommandPdf", "CommandHojas"}) {
            dialog.name = button; // ".pdf" added to the PDF's
            QCOMPARE(press(button, {m_saved}), QString());
        }
        QVERIFY(
            testFiles::readFile(m_gui.bank->filePath("Command1_2.txt")).contains("\fVERSI\xD3N B"));
        // The PDF's dialog gives the OpenDocument copy to a name in ".odt".
        dialog.name = "copia.odt";
        QCOMPARE(press("CommandPdf", {m_saved}), QString());
        QVERIFY(testFiles::outputOf("odt2txt", {m_gui.bank->filePath("copia.odt")})
                    .contains("VERSIÓN B"));
        for (const QString &pdf : {printed, m_gui.bank->filePath("CommandPdf.pdf")}) {
            const QString text = testFiles::outputOf("pdftotext", {pdf, "-"});
            QCOMPARE(text.count(u'\f'), 2); // a page each
            QVERIFY2(text.contains("VERSIÓN B") &&
                         text.contains("Economía — Tipo test") == (pdf != printed),
                     qPrintable(text));
        }
        // The answer sheets, coded with the exam's number in the history, versions
        // interleaved, each saying it must not be photocopied.
        const QString text =
            testFiles::outputOf("pdftotext", {m_gui.bank->filePath("CommandHojas.pdf"), "-"});
        QStringList codes;
        for (const auto &code : QRegularExpression("ORVL2-1-[0-9A-F]{8}-(.-...)").globalMatch(text))
            codes << code.captured(1);
        QCOMPARE(codes.join(u' '), "A-001 B-001 A-002 B-002");
        QCOMPARE(text.count("No fotocopie esta hoja: cada alumno necesita la suya."), 4);
        m_window->findChild<QSpinBox *>("Versiones")->setValue(1);
        QCOMPARE(m_window->text(), kText);
        // Sent four ways in one visit: one exam in the history, in its versions.
        const QList<HistoryExam> exams = historyExams();
        QCOMPARE(exams.size(), 1);
        QCOMPARE(exams[0].versions, 2);
        QCOMPARE(exams[0].seed, 1234567u);
    }

    // Título… offers the title the exam sent has in the history, and what the
    // teacher types there becomes its title. The template of an exam sent in
    // versions comes in its versions and seed, so that each version's key
    // matches that version's copy (tst_ExamText); another selection comes as
    // it was handed over.
    void theExamSentIsRenamedAndItsTemplateComesInItsVersions()
    {
        ExamDescription exam;
        for (const char *text : {"a", "b", "c", "d", "e"})
            exam.selection.add({QuestionKind::TrueFalse, 1, 1, text, *text == 'a'});
        ReturnWindowName = WindowNames::kTestselec; // as the selection window hands over
        m_window->receiveText(kText, exam);
        m_window->findChild<QLineEdit *>("Clave")->setText("41438");
        m_window->findChild<QSpinBox *>("Versiones")->setValue(3);
        QCOMPARE(press("Command1_0", {m_copied}), QString());
        QString offered;
        QTimer titleDialog;
        answerDialog(titleDialog, "Titulo", [&offered](QDialog *dialog) {
            offered = static_cast<QInputDialog *>(dialog)->textValue();
            static_cast<QInputDialog *>(dialog)->setTextValue("Parcial de enero");
        });
        click(m_window, "CommandTitulo");
        const QList<HistoryExam> exams = historyExams();
        QCOMPARE(exams.size(), 1);
        QCOMPARE(offered, HistoryExam::defaultTitle(exams[0].madeAt));
        QCOMPARE(exams[0].title, "Parcial de enero");

        exam.kind = ExamDescription::Kind::AnswerTemplate;
        m_window->receiveText(kText, exam);
        ExamDescription inVersions = exam;
        inVersions.versions = 3;
        inVersions.seed = 41438;
        QCOMPARE(m_window->text(), composeText(inVersions));
        exam.selection.removeAt(QuestionKind::TrueFalse, 4);
        m_window->receiveText(kText, exam);
        QCOMPARE(m_window->text(), kText);
    }

    // A text over the format's limit is named and refused, never cut.
    void theFormatRefusesATextOverItsLimit()
    {
        ExamFormatDialog dialog(ExamFormat(), m_window);
        auto *institution = dialog.findChild<QLineEdit *>("Centro");
        institution->setText(QString(251, u'x'));
        const auto refused = MessageBoxResponder::notice(
            "«Centro (opcional)» tiene 251 caracteres y admite hasta 250. Acórtelo; no se ha "
            "cambiado nada.");
        QCOMPARE(MessageBoxResponder::answer({refused}, [&] { dialog.accept(); }), QString());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        institution->setText(QString(250, u'x'));
        QCOMPARE(MessageBoxResponder::answer({}, [&] { dialog.accept(); }), QString());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.format().institution.size(), 250);
    }

    // The history never stops an exam: one that cannot be written is told
    // once a visit, and so is a damaged one set aside (how it is set aside
    // and a new one started: tst_ExamHistory).
    void aFailingHistoryNeverStopsTheExam_data()
    {
        QTest::addColumn<bool>("damaged"); // else a folder stands where the file should
        QTest::addColumn<QString>("message");
        QTest::newRow("cannot be opened") << false
                                          << "No se ha podido anotar el examen en el "
                                             "historial: historial.sqlite no es un fichero de "
                                             "datos sino una carpeta, una tubería o un "
                                             "dispositivo.";
        QTest::newRow("damaged") << true
                                 << "El historial de exámenes (historial.sqlite) estaba "
                                    "dañado: se ha apartado como historial-dañado-…";
    }
    void aFailingHistoryNeverStopsTheExam()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, message);
        QVERIFY(damaged ? testFiles::writeFile("historial.sqlite", QByteArray(5000, 'x'))
                        : QDir().mkdir("historial.sqlite"));
        m_window->receiveText(kText, {});
        for (const auto &boxes :
             {QList{m_copied, MessageBoxResponder::notice(message)}, {m_copied}}) {
            QGuiApplication::clipboard()->clear();
            QCOMPARE(press("Command1_0", boxes), QString());
            QCOMPARE(QGuiApplication::clipboard()->text(), kText);
        }
        QCOMPARE(historyExams().size(), int(damaged)); // the exam in the new history
    }

    // A long text goes to the printer whole, wrapped onto several pages.
    void printsTheWholeTextOnPages()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("impreso.pdf"));
        printTo(pdf);
        QStringList lines{QStringLiteral("EXAMEN DE MARKETING"), QString(), QString()};
        for (int i = 1; i <= 60; ++i)
            lines[2] += QStringLiteral("palabra%1 ").arg(i);
        for (int i = 1; i <= 150; ++i)
            lines.append(QStringLiteral("Pregunta número %1 sobre el precio").arg(i));
        m_window->findChild<QPlainTextEdit *>("Text1")->setPlainText(lines.join("\r\n"));
        QCOMPARE(press("Command1_1", {}), QString());
        const QString printed = testFiles::outputOf("pdftotext", {pdf, "-"});
        QVERIFY2(printed.count(u'\f') >= 3, qPrintable(printed)); // one form feed a page
        QCOMPARE(printed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts),
                 lines.join(u' ').split(u' ', Qt::SkipEmptyParts));
    }
};

QTEST_MAIN(tst_Impres)
#include "tst_Impres.moc"
