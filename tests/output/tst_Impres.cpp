// The output window driven by its buttons: what reaches the clipboard, a
// text file (its exact bytes) and the printer (a PDF read back), what the
// teacher is told, how the window sizes its text area, and how leaving it
// brings back the selection window. The last test takes a true/false exam
// from the bank to a file through both real windows.
#include "FakeMainWindowServices.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "OpenFiles.h"
#include "PdfText.h"
#include "PrinterSeam.h"
#include "ProgramState.h"
#include "SaveDialogResponder.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"
#include "Twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kClipboardMessage = QStringLiteral(
    "Texto transferido al portapapeles. Para recuperar su contenido en un procesador "
    "de textos pulse el botón derecho del ratón y selecciones 'Pegar'.");
const QStringList kOk{QStringLiteral("Aceptar")};
const QString kExam = QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n"
                                     "Sí( ) No( )  -  Primera pregunta\r\n"
                                     "Sí( ) No( )  -  Segunda pregunta\r\n");

// A selection window that only shows itself, to see where leaving leads.
class SelectionStandIn : public Form
{
public:
    explicit SelectionStandIn(const QString &name) : Form(name) { resize(300, 200); }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Types a text key by key, characters outside Latin-1 included.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class tst_Impres : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TrueFalseBankFixture> m_folder; // also the working directory
    std::unique_ptr<FakeMainWindowServices> m_main;
    QPointer<Impres> m_window;

    QPushButton *button(const QString &name) const
    {
        return m_window ? m_window->findChild<QPushButton *>(name) : nullptr;
    }
    QPlainTextEdit *text1() const
    {
        return m_window ? m_window->findChild<QPlainTextEdit *>(QStringLiteral("Text1")) : nullptr;
    }
    void press(const QString &name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b, qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // What a selection window does when it hands a text over.
    void handOver(const QString &text, const QString &caller = QStringLiteral("Testselec"))
    {
        ActiveWindowCode = ActiveWindowCodes::kTrueFalseSelection;
        m_window = qobject_cast<Impres *>(Forms::show(QStringLiteral("Impres")));
        QVERIFY(m_window);
        text1()->setPlainText(text);
        ReturnWindowName = caller;
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
    }
    static void checkResponder(const MessageBoxResponder &responder)
    {
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
    }
    // Presses "Fichero", saves under `typed` (empty: the name the dialog
    // shows) and answers the message that names the file at `path`.
    void saveAs(SaveDialogResponder &dialog, const QString &typed, const QString &path)
    {
        MessageBoxResponder responder;
        dialog.answerNext(SaveDialogResponder::Answer::Save, typed);
        responder.expect(QStringLiteral("Fichero guardado como: ") + native(path), kOk,
                         QStringLiteral("Aceptar"));
        press(QStringLiteral("Command1_2"));
        QVERIFY(responder.waitUntilAnswered());
        checkResponder(responder);
        QVERIFY(dialog.answered);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Qt's file dialog keeps a settings file; tests keep theirs apart.
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        m_folder = std::make_unique<TrueFalseBankFixture>();
        QVERIFY(m_folder->isReady());
        m_main = std::make_unique<FakeMainWindowServices>();
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        Forms::registerForm(QStringLiteral("Impres"), [] { return new Impres; });
        Forms::registerForm(QStringLiteral("Examselec"),
                            [] { return new SelectionStandIn(QStringLiteral("Examselec")); });
        Forms::registerForm(QStringLiteral("AYUDA"),
                            [] { return new SelectionStandIn(QStringLiteral("AYUDA")); });
        Forms::registerForm(QStringLiteral("Testselec"),
                            [] { return new SelectionStandIn(QStringLiteral("Testselec")); });
        ActiveWindowCode = ActiveWindowCodes::kMain;
        PrinterSeam::setFactory({});
    }
    void cleanup()
    {
        PrinterSeam::setFactory({});
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        closeAllFiles();
        m_folder.reset();
    }

    void opensMaximizedInTheMainWindowAndDisablesTheToolbar()
    {
        handOver(kExam);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("IMPRESIÓN DE RESULTADOS"));
        auto *frame = qobject_cast<QMdiSubWindow *>(m_window->container());
        QVERIFY(frame);
        QCOMPARE(frame->mdiArea(), m_main->area);
        QTRY_VERIFY(frame->isMaximized());
        QVERIFY(!m_main->toolbarEnabled);
        QCOMPARE(m_main->statusText, QStringLiteral("Imprimir examen"));

        QCOMPARE(text1()->pos(), QPoint(0, 0));
        QCOMPARE(text1()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(text1()->font().pointSize(), 12);
        QCOMPARE(text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!text1()->isReadOnly());

        auto *strip = m_window->findChild<QWidget *>(QStringLiteral("Picture1"));
        QVERIFY(strip);
        QCOMPARE(strip->height(), Twips::toPixelsY(495));
        QCOMPARE(strip->geometry().bottom(), m_window->rect().bottom());
        QCOMPARE(strip->width(), m_window->width());
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Enviar resultados a:"));

        const QList<QPair<QString, QString>> captions{
            {QStringLiteral("Command1_0"), QStringLiteral("&Portapapeles")},
            {QStringLiteral("Command1_1"), QStringLiteral("&Impresora")},
            {QStringLiteral("Command1_2"), QStringLiteral("&Fichero")},
            {QStringLiteral("Command2"), QStringLiteral("&Salir de impresión")},
            {QStringLiteral("Command3"), QString()}};
        for (const auto &[name, caption] : captions) {
            QVERIFY2(button(name), qPrintable(name));
            QCOMPARE(button(name)->text(), caption);
            QCOMPARE(button(name)->parentWidget(), strip);
        }
        QCOMPARE(button(QStringLiteral("Command1_1"))->geometry(),
                 QRect(Twips::toPixelsX(3900), Twips::toPixelsY(60), Twips::toPixelsX(1400),
                       Twips::toPixelsY(315)));
    }

    void theTextAreaFollowsTheWindowSize_data()
    {
        QTest::addColumn<QSize>("mainSize");
        QTest::newRow("large") << QSize(1000, 700);
        QTest::newRow("small") << QSize(500, 300);
    }
    void theTextAreaFollowsTheWindowSize()
    {
        QFETCH(QSize, mainSize);
        handOver(kExam);
        m_main->window.resize(mainSize);
        QWidget *outer = m_window->container();
        QTRY_VERIFY(outer->width() > 0);
        QCoreApplication::processEvents();
        QTRY_COMPARE(text1()->width(), outer->width() - Twips::toPixelsX(240));
        QCOMPARE(text1()->height(),
                 outer->height() - Twips::toPixelsY(495) - Twips::toPixelsY(390));
    }

    void aSizeTooSmallForTheTextAreaKeepsThePreviousOne()
    {
        handOver(kExam);
        QCoreApplication::processEvents();
        const QSize before = text1()->size();
        m_window->container()->showNormal();
        m_window->container()->resize(12, 40);
        QCoreApplication::processEvents();
        QCOMPARE(text1()->size(), before);
    }

    void sendsTheWholeTextToTheClipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("exam") << kExam;
        QTest::newRow("empty") << QString();
    }
    void sendsTheWholeTextToTheClipboard()
    {
        QFETCH(QString, text);
        handOver(text);
        QGuiApplication::clipboard()->setText(QStringLiteral("anterior"));
        MessageBoxResponder responder;
        responder.expect(kClipboardMessage, kOk, QStringLiteral("Aceptar"));
        press(QStringLiteral("Command1_0"));
        QVERIFY(responder.waitUntilAnswered());
        checkResponder(responder);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QVERIFY(m_window); // sending does not close the window
    }

    void savesUnderTheTypedNameWithoutAddingAnExtension()
    {
        handOver(QString());
        SaveDialogResponder dialog;
        const QString path = m_folder->filePath(QStringLiteral("vacio"));
        saveAs(dialog, QStringLiteral("vacio"), path);
        QCOMPARE(dialog.dialogName, QStringLiteral("CD1"));
        QCOMPARE(dialog.shownFilters, QStringList{QStringLiteral("Texto (*.TXT)")});
        QCOMPARE(fileBytes(path), QByteArray("\r\n"));
        QCOMPARE(QDir(m_folder->path()).entryList({QStringLiteral("vacio*")}, QDir::Files),
                 QStringList{QStringLiteral("vacio")});
    }

    void anExistingFileIsReplacedAndASecondSaveStartsFromTheSameName()
    {
        const QString path = m_folder->filePath(QStringLiteral("examen.TXT"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
        old.close();

        handOver(QStringLiteral("uno"));
        SaveDialogResponder dialog;
        saveAs(dialog, QStringLiteral("examen.TXT"), path);
        QCOMPARE(fileBytes(path), QByteArray("uno\r\n"));

        text1()->setPlainText(QStringLiteral("dos"));
        saveAs(dialog, QString(), path); // keeps the name it shows
        QCOMPARE(dialog.shownName, QStringLiteral("examen.TXT"));
        QCOMPARE(fileBytes(path), QByteArray("dos\r\n"));
    }

    void cancellingTheDialogWritesAndShowsNothing()
    {
        handOver(kExam);
        SaveDialogResponder dialog;
        MessageBoxResponder responder;
        const QStringList before = QDir(m_folder->path()).entryList(QDir::Files);
        dialog.answerNext(SaveDialogResponder::Answer::Cancel);
        press(QStringLiteral("Command1_2"));
        QVERIFY(dialog.answered);
        QTest::qWait(50);
        QCOMPARE(responder.seen(), 0);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), before);
    }

    void aFileThatCannotBeWrittenFailsSilently()
    {
        handOver(kExam);
        SaveDialogResponder dialog;
        MessageBoxResponder responder;
        dialog.answerNext(SaveDialogResponder::Answer::Save,
                          QStringLiteral("no/existe/examen.TXT"));
        press(QStringLiteral("Command1_2"));
        QVERIFY(dialog.answered);
        QTest::qWait(50);
        QCOMPARE(responder.seen(), 0);
        QVERIFY(m_window && m_window->isEnabled());
    }

    void anEditedTextIsWhatIsSent()
    {
        handOver(QStringLiteral("EXAMEN\r\n"));
        text1()->setFocus();
        text1()->moveCursor(QTextCursor::End);
        typeText(text1(), QStringLiteral("Añadida"));
        MessageBoxResponder responder;
        responder.expect(kClipboardMessage, kOk, QStringLiteral("Aceptar"));
        press(QStringLiteral("Command1_0"));
        QVERIFY(responder.waitUntilAnswered());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("EXAMEN\r\nAñadida"));
    }

    void aTextWithCharactersTheCodePageLacksIsNotSaved()
    {
        handOver(QStringLiteral("EXAMEN\r\n"));
        text1()->moveCursor(QTextCursor::End);
        typeText(text1(), QStringLiteral("a → b ✓ →"));
        SaveDialogResponder dialog; // must not be needed
        MessageBoxResponder responder;
        responder.expect(
            QStringLiteral("El texto contiene caracteres que no se pueden guardar en un "
                           "fichero de texto: «→» (U+2192), «✓» (U+2713). Cámbielos o "
                           "bórrelos; no se ha guardado nada."),
            kOk, QStringLiteral("Aceptar"));
        const QStringList before = QDir(m_folder->path()).entryList(QDir::Files);
        press(QStringLiteral("Command1_2"));
        QVERIFY(responder.waitUntilAnswered());
        checkResponder(responder);
        QTest::qWait(50);
        QVERIFY(!dialog.answered);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), before);
    }

    void printsTheTextOnTheDefaultPrinterSilently()
    {
        QTemporaryDir pdfFolder;
        const QString pdf = pdfFolder.filePath(QStringLiteral("impreso.pdf"));
        PrinterSeam::setFactory([pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });
        QStringList lines{QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test"), QString()};
        for (int i = 1; i <= 90; ++i)
            lines.append(QStringLiteral("Sí( ) No( )  -  Pregunta %1 sobre el precio").arg(i));
        handOver(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        MessageBoxResponder responder;
        press(QStringLiteral("Command1_1"));
        QTest::qWait(50);
        QCOMPARE(responder.seen(), 0);

        const QList<QStringList> pages = PdfText::pages(pdf);
        QVERIFY(pages.size() >= 2);
        QStringList printed;
        for (const QStringList &page : pages)
            for (const QString &line : page)
                if (!line.trimmed().isEmpty())
                    printed.append(line.simplified());
        lines.removeAll(QString());
        for (QString &line : lines)
            line = line.simplified();
        QCOMPARE(printed, lines);
    }

    void withoutAPrinterNothingHappensAndTheWindowStaysUsable()
    {
        PrinterSeam::setFactory([] { return std::unique_ptr<QPrinter>(); });
        handOver(kExam);
        MessageBoxResponder responder;
        press(QStringLiteral("Command1_1"));
        QTest::qWait(50);
        QCOMPARE(responder.seen(), 0);
        responder.expect(kClipboardMessage, kOk, QStringLiteral("Aceptar"));
        press(QStringLiteral("Command1_0"));
        QVERIFY(responder.waitUntilAnswered());
    }

    void leavingShowsTheWindowNamedToReturnTo_data()
    {
        QTest::addColumn<QString>("returnName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("true/false selection")
            << QStringLiteral("Testselec") << QStringLiteral("Testselec");
        QTest::newRow("exposition selection")
            << QStringLiteral("Examselec") << QStringLiteral("Examselec");
        QTest::newRow("any other name") << QStringLiteral("testselec") << QString();
    }
    void leavingShowsTheWindowNamedToReturnTo()
    {
        QFETCH(QString, returnName);
        QFETCH(QString, shown);
        handOver(kExam, returnName);
        press(QStringLiteral("Command2"));
        QTRY_VERIFY(!m_window);
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);
        QVERIFY(m_main->toolbarEnabled);
        QCOMPARE(m_main->statusText, QString());
        const QStringList loaded = Forms::loadedNames();
        QCOMPARE(loaded, shown.isEmpty() ? QStringList() : QStringList{shown});
        if (!shown.isEmpty())
            QVERIFY(Forms::find(shown)->isVisible());
        QCOMPARE(ReturnWindowName, returnName); // never cleared
    }

    void closingItOtherwiseShowsNoSelectionWindow()
    {
        handOver(kExam);
        m_window->container()->close();
        QTRY_VERIFY(!m_window);
        QVERIFY(m_main->toolbarEnabled);
        QCOMPARE(m_main->statusText, QString());
        QVERIFY(Forms::loadedNames().isEmpty());
    }

    void escapeLeavesAndHelpSetsItsCode()
    {
        handOver(kExam);
        press(QStringLiteral("Command3"));
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kOutput);
        QVERIFY(Forms::find(QStringLiteral("AYUDA")));

        Forms::show(QStringLiteral("Impres"));
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));
        QTest::keyClick(button(QStringLiteral("Command1_0")), Qt::Key_Escape);
        QTRY_VERIFY(!m_window);
        QVERIFY(Forms::find(QStringLiteral("Testselec")));
    }

    void aTrueFalseExamGoesFromTheBankToAFile()
    {
        Forms::registerForm(QStringLiteral("Testselec"), [] { return new Testselec; });
        auto *selection = qobject_cast<Testselec *>(Forms::show(QStringLiteral("Testselec")));
        QVERIFY(selection);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(selection));
        auto *grid3 = selection->findChild<FlexGrid *>(QStringLiteral("Grid3"));
        for (int row : {2, 1}) {
            const FlexGrid::CellSpot spot = grid3->locateCell(row, 1);
            QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
            QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
        }
        QTest::mouseClick(selection->findChild<QPushButton *>(QStringLiteral("Command5")),
                          Qt::LeftButton);
        m_window = qobject_cast<Impres *>(Forms::find(QStringLiteral("Impres")));
        QVERIFY(m_window);
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(m_window.data()));

        SaveDialogResponder dialog;
        const QString path = m_folder->filePath(QStringLiteral("PLANTILLA.TXT"));
        saveAs(dialog, QStringLiteral("PLANTILLA.TXT"), path);
        QCOMPARE(
            fileBytes(path),
            QByteArray("EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas "
                       "correctas\r\n\r\n"
                       "S\xED( ) No(\x95)  -  El precio no influye nunca en la demanda.\r\n"
                       "S\xED(\x95) No( )  -  La demanda de un bien suele bajar cuando sube su "
                       "precio.\r\n\r\n"));

        press(QStringLiteral("Command2"));
        QTRY_VERIFY(selection->isVisible());
        QCOMPARE(selection->selectedCount(), 2);
    }
};

QTEST_MAIN(tst_Impres)
#include "tst_Impres.moc"
