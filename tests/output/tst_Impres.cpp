// The output window driven by its buttons: what reaches the clipboard, a
// text file (its exact bytes) and the printer (a PDF read back), what the
// teacher is told, and how the text area follows the window size.
#include "GuiFixture.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "SaveDialogResponder.h"
#include "TestFiles.h"
#include "TrueFalseBankFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kText = QStringLiteral("EXAMEN\r\n\r\nSí(•) No( )  -  Primera\r\n");

struct Word
{
    QString text;
    QPointF corner; // top left, in points
};

// A printed PDF's words page by page, read back with poppler's pdftotext.
QList<QList<Word>> pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression page(QStringLiteral("<page [^>]*>(.*?)</page>"),
                                  QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    QList<QList<Word>> result;
    for (const QRegularExpressionMatch &p : page.globalMatch(html)) {
        result.append(QList<Word>());
        for (const QRegularExpressionMatch &w : word.globalMatch(p.captured(1)))
            result.last().append(
                {w.captured(3), {w.captured(1).toDouble(), w.captured(2).toDouble()}});
    }
    return result;
}

// A printer that writes a PDF file.
std::unique_ptr<QPrinter> printerTo(const QString &pdf)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    return printer;
}

} // namespace

class tst_Impres : public QObject
{
    Q_OBJECT

private:
    GuiFixture<TrueFalseBankFixture> m_gui; // its bank folder is the working directory
    QPointer<Impres> m_window;

    QPlainTextEdit *text1() const { return m_window->findChild<QPlainTextEdit *>("Text1"); }
    // Presses a button: it must show the box `message` (answered), or none if empty.
    // A message ending in "…" ends with a reason the system gives.
    void press(const char *name, const QString &message = QString())
    {
        QPushButton *button = m_window->findChild<QPushButton *>(name);
        QList<MessageBoxResponder::Box> boxes{MessageBoxResponder::notice(message)};
        QCOMPARE(MessageBoxResponder::answer(
                     message.isEmpty() ? QList<MessageBoxResponder::Box>() : boxes,
                     [button] { QTest::mouseClick(button, Qt::LeftButton); }),
                 QString());
        QVERIFY(m_window && m_window->isEnabled());
    }
    QByteArray fileBytes(const char *name) const
    {
        return testFiles::readFile(m_gui.bank->filePath(QLatin1String(name)));
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(m_gui.setUp());
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        m_window = m_gui.open<Impres>(Impres::kName, ActiveWindowCodes::kTrueFalseSelection);
        QVERIFY(m_window);
        text1()->setPlainText(kText);
    }
    void cleanup() { m_gui.tearDown(); }

    void theTextAreaFollowsTheWindowSizeAndGoesWholeToTheClipboard()
    {
        QList<int> widths;
        for (const QSize size : {QSize(1000, 700), QSize(500, 300)}) {
            m_gui.main->window.resize(size);
            QWidget *outer = m_window->container();
            // 240 twips narrower; 495 (the strip) + 390 twips lower, at 96 DPI.
            QTRY_COMPARE(text1()->width(), outer->width() - 16);
            QCOMPARE(text1()->height(), outer->height() - 33 - 26);
            widths.append(text1()->width());
        }
        QVERIFY(widths[0] > widths[1]);

        QGuiApplication::clipboard()->setText(QStringLiteral("anterior"));
        press("Command1_0", QStringLiteral("Texto transferido al portapapeles. Para recuperar su "
                                           "contenido en un procesador de textos pulse el botón "
                                           "derecho del ratón y selecciones 'Pegar'."));
        QCOMPARE(QGuiApplication::clipboard()->text(), kText);
    }

    void savesToAFileInWindows1252()
    {
        const QString saved = QStringLiteral("Fichero guardado como: ") +
                              QDir::toNativeSeparators(m_gui.bank->filePath("examen.txt"));
        SaveDialogResponder dialog;
        dialog.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("examen"));
        press("Command1_2", saved); // a name without extension gets ".txt"
        QCOMPARE(dialog.title, QStringLiteral("Guardar como"));
        QCOMPARE(dialog.shownFilters, QStringList{QStringLiteral("Texto (*.TXT)")});
        QCOMPARE(dialog.shownName, QString());
        QCOMPARE(dialog.folder, QDir::currentPath());
        QVERIFY(!dialog.asksBeforeReplacing);
        QCOMPARE(fileBytes("examen.txt"),
                 QByteArray("EXAMEN\r\n\r\nS\xED(\x95) No( )  -  Primera\r\n\r\n"));

        // The second use starts from the previous name and replaces the file.
        text1()->setPlainText(QStringLiteral("dos"));
        dialog.answerNext(SaveDialogResponder::Answer::Save);
        press("Command1_2", saved);
        QCOMPARE(dialog.shownName, QStringLiteral("examen.txt"));
        QCOMPARE(fileBytes("examen.txt"), QByteArray("dos\r\n"));

        // Cancelling, a path that cannot be written (said with its reason),
        // and characters the code page lacks (named before any dialog opens)
        // write nothing.
        const QStringList before = QDir::current().entryList(QDir::AllEntries);
        dialog.answerNext(SaveDialogResponder::Answer::Cancel);
        press("Command1_2");
        QVERIFY(dialog.answered);
        dialog.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("no/existe/x.TXT"));
        press("Command1_2", QStringLiteral("No se ha podido guardar el fichero: …"));
        QVERIFY(dialog.answered);
        text1()->setPlainText(QStringLiteral("a → b ✓ →"));
        dialog.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("otro.TXT"));
        press("Command1_2", QStringLiteral("El texto contiene caracteres que no se pueden guardar "
                                           "en un fichero de texto: «→» (U+2192), «✓» (U+2713). "
                                           "Cámbielos o bórrelos; no se ha guardado nada."));
        QVERIFY(!dialog.answered);
        QCOMPARE(dialog.unexpected, 0);
        QCOMPARE(fileBytes("examen.txt"), QByteArray("dos\r\n"));
        QCOMPARE(QDir::current().entryList(QDir::AllEntries), before);
    }

    // With the bank in a hidden folder of its own, the dialog starts among
    // the teacher's documents, and then, in a later visit too, in the folder
    // the last file went to.
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
            dialog.answerNext(SaveDialogResponder::Answer::Save,
                              folders.isEmpty() ? home.filePath(name) : QString(name));
            press("Command1_2", QStringLiteral("Fichero guardado como: …"));
            folders << QDir(home.path()).relativeFilePath(dialog.folder);
            Forms::unload(Impres::kName);
            m_window = m_gui.open<Impres>(Impres::kName, ActiveWindowCodes::kNone);
            QVERIFY(m_window);
        }
        SaveDialog::setUserFolders(false);
        qputenv("HOME", ownHome);
        QCOMPARE(folders, (QStringList{"Documents", "examenes"}));
        QVERIFY(QFile::exists(home.filePath("examenes/primero.txt")));
        QVERIFY(QFile::exists(home.filePath("examenes/segundo.TXT")));
    }

    void printsWrappedTextOnPagesWithTheSameMargins()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("impreso.pdf"));
        const auto pdfPrinter = [pdf] { return printerTo(pdf); };
        PrinterSeam::setFactory(pdfPrinter);
        QStringList lines{QStringLiteral("EXAMEN DE MARKETING"), QString(), QString()};
        for (int i = 1; i <= 60; ++i)
            lines[2] += QStringLiteral("palabra%1 ").arg(i);
        for (int i = 1; i <= 150; ++i)
            lines.append(QStringLiteral("Pregunta número %1 sobre el precio").arg(i));
        text1()->setPlainText(lines.join(QStringLiteral("\r\n")));
        press("Command1_1");
        QCOMPARE(m_gui.main->statusText,
                 QStringLiteral("Examen enviado a la impresora ") + QDir::toNativeSeparators(pdf));

        const QList<QList<Word>> pages = pdfPages(pdf);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        QStringList printed;
        QSet<QPair<int, int>> printedLines; // (page, top) of every printed line
        for (qsizetype p = 0; p < pages.size(); ++p)
            for (const Word &word : pages[p]) {
                printed.append(word.text);
                printedLines.insert({int(p), qRound(word.corner.y())});
            }
        QCOMPARE(printed, lines.join(u' ').split(u' ', Qt::SkipEmptyParts));
        QVERIFY(printedLines.size() >= lines.size() - 1 + 4); // the long line took 5 or more
        // Every page starts 900 twips (45 pt) right of the printable corner, at the same height.
        const QRectF printable = pdfPrinter()->pageLayout().paintRect(QPageLayout::Point);
        for (const QList<Word> &page : pages) {
            QVERIFY(qAbs(page.first().corner.x() - (printable.left() + 45.0)) < 2.0);
            QVERIFY(qAbs(page.first().corner.y() - pages[0][0].corner.y()) < 0.5);
        }
        const qreal top = pages[0][0].corner.y() - printable.top(); // 700 twips (35 pt) down
        QVERIFY(top >= 34.5 && top < 47.0);
    }

    // Nothing printed leaves the status bar as it was and says why.
    void aJobThatCannotBePrintedIsSaid_data()
    {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no default printer")
            << false << "no hay ninguna impresora predeterminada en el sistema";
        QTest::newRow("the printer refuses the job")
            << true << "la impresora %1 no ha aceptado el trabajo";
    }
    void aJobThatCannotBePrintedIsSaid()
    {
        QFETCH(bool, printer);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("no-existe/impreso.pdf"));
        PrinterSeam::setFactory(
            [pdf, printer] { return printer ? printerTo(pdf) : std::unique_ptr<QPrinter>(); });
        press("Command1_1", QStringLiteral("No se ha podido imprimir: ") +
                                reason.arg(QDir::toNativeSeparators(pdf)));
        QCOMPARE(m_gui.main->statusText, QStringLiteral("Imprimir examen"));
        QVERIFY(!QFile::exists(pdf));
    }

    // "Salir de impresión", by click or by Esc from the text, closes the
    // window and shows again the selection window it came from.
    void leavingShowsTheReturnWindowAgain_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::addColumn<QString>("returnWindow");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("click, Testselec") << false << "Testselec" << QStringList{"Testselec"};
        QTest::newRow("Esc, Testselec") << true << "Testselec" << QStringList{"Testselec"};
        QTest::newRow("Esc, Examselec") << true << "Examselec" << QStringList{"Examselec"};
        QTest::newRow("Esc, another name") << true << "Orvalis" << QStringList();
    }
    void leavingShowsTheReturnWindowAgain()
    {
        QFETCH(bool, byEscape);
        QFETCH(QString, returnWindow);
        QFETCH(QStringList, shown);
        for (const char *name : {"Testselec", "Examselec"})
            Forms::registerForm(name, [name] { return new Form(name); });
        m_window->receiveText(kText, returnWindow);
        MessageBoxResponder responder; // any box is a failure
        if (byEscape)
            QTest::keyClick(text1(), Qt::Key_Escape);
        else
            QTest::mouseClick(m_window->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QTRY_VERIFY(!m_window);
        QCOMPARE(responder.seenTexts(), QStringList());
        QCOMPARE(Forms::find(Impres::kName), nullptr);
        QCOMPARE(Forms::loadedNames(), shown);
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);
        QVERIFY(m_gui.main->toolbarEnabled);
    }

    void tabLeavesTheTextForTheButtons_data()
    {
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QString>("to");
        QTest::newRow("Tab") << false << "Command1_0";
        QTest::newRow("Shift+Tab") << true << "Command3";
    }
    void tabLeavesTheTextForTheButtons()
    {
        QFETCH(bool, backwards);
        QFETCH(QString, to);
        text1()->setFocus();
        QTRY_VERIFY(text1()->hasFocus());
        QTest::keyClick(text1(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), to);
        QCOMPARE(m_window->text(), kText);
    }
};

QTEST_MAIN(tst_Impres)
#include "tst_Impres.moc"
