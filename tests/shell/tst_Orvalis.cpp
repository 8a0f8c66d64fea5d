// The shell: start-up with the splash window, the main window's menu, toolbar
// and status bar, their dispatch, the close question and the background window.
#include "Apertura.h"
#include "Exammodi.h"
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "Fondo.h"
#include "Forms.h"
#include "MessageBoxResponder.h"
#include "OpenFiles.h"
#include "RealMainWindow.h"
#include "Testmodi.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <optional>

class tst_Orvalis : public QObject
{
    Q_OBJECT

    Orvalis *m_main = nullptr;
    int m_endings = 0;

    // The main window as the start-up leaves it, with the splash gone.
    void openMainWindow()
    {
        m_main = RealMainWindow::open();
        QVERIFY(m_main);
        m_main->setEndProgram([this] { ++m_endings; });
    }
    QAction *action(const QString &name) { return m_main->findChild<QAction *>(name); }
    static Apertura *splash() { return Forms::findAs<Apertura>(QStringLiteral("Apertura")); }

private Q_SLOTS:
    void init()
    {
        Shell::registerForms();
        for (const char *name : {"Examselec", "Exammodi", "Testselec", "Testmodi", "AYUDA"})
            Forms::registerForm(name, [name] { return new Form(name); });
        m_endings = 0;
    }
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startUpShowsTheSplashAloneThenTheMainWindowWithASecond_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::newRow("timer") << false;
        QTest::newRow("click") << true;
    }
    void startUpShowsTheSplashAloneThenTheMainWindowWithASecond()
    {
        QFETCH(bool, byClick);
        const auto next = [byClick](Apertura *a) {
            byClick ? QTest::mouseClick(a, Qt::LeftButton, {}, a->rect().center())
                    : a->Timer1()->setInterval(30);
        };
        QApplication::setQuitOnLastWindowClosed(true);
        Shell::start();
        QPointer<Apertura> first = splash();
        QVERIFY(first && first->isVisible());
        QCOMPARE(Forms::find(QStringLiteral("Orvalis")), nullptr);
        next(first);
        QTimer::singleShot(500, qApp, [] { QCoreApplication::exit(7); });
        QCOMPARE(QApplication::exec(), 7); // the program did not quit with the first splash
        QVERIFY(first.isNull());
        QWidget *main = Forms::find(QStringLiteral("Orvalis"));
        QTRY_VERIFY(main && main->isVisible());
        QVERIFY(Forms::findAs<Fondo>(QStringLiteral("Fondo"))->isMaximizedForm());
        QPointer<Apertura> second = splash();
        QVERIFY(second && second->isVisible() && second->Timer1()->isActive());
        next(second);
        QTRY_VERIFY(second.isNull());
    }

    void mainWindowTextsAreExactAndFondoFillsTheArea()
    {
        openMainWindow();
        QStringList menu;
        for (QAction *top : m_main->menuBar()->actions()) {
            menu << top->objectName() + '=' + top->text();
            for (QAction *a : top->menu() ? top->menu()->actions() : QList<QAction *>())
                menu << "  " + a->objectName() + '=' + a->text();
        }
        const QString modify = QStringLiteral("=Añadir/modificar/eliminar preguntas");
        QCOMPARE(menu, (QStringList{"mnuSalir=Salir", "mnuExamenExposicion=Preguntas de exposición",
                                    "  mnuSelec1=Seleccionar preguntas", "  mnuModifi1" + modify,
                                    "mnuExamenTests=Preguntas tipo test",
                                    "  mnuSelec2=Seleccionar preguntas", "  mnuModifi2" + modify,
                                    "mnuAyuda=Ayuda", "  mnuContenido=Contenido",
                                    "  mnuAcerca=Acerca de ..."}));

        // Each toolbar item: key, caption and the tool tip that reaches the screen.
        QStringList toolbar;
        for (QAction *item : m_main->findChild<QToolBar *>(QStringLiteral("Toolbar1"))->actions()) {
            toolbar << item->property("key").toString() + '|';
            if (item->isSeparator())
                continue;
            auto *b = m_main->toolbarButton(item->property("index").toInt());
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
            QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), b->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(b, &help);
            toolbar.last() += b->text() + '|' + (QToolTip::isVisible() ? QToolTip::text() : "");
        }
        const QString edit = QStringLiteral("|Añadir / modificar / eliminar  preguntas ");
        const QString pick = QStringLiteral("|Seleccionar preguntas ");
        QCOMPARE(toolbar,
                 (QStringList{"Salir|Salir|Salir del programa", "Sep1|", "|",
                              "Exposelec|Selec.prgntas exp." + pick + "de exposición",
                              "Expomodifi|Actual.prgtas.exp." + edit + "de exposición", "Sep4|",
                              "|", "Testsselec|Selec.prgntas test" + pick + "tipo test",
                              "Testsmodifi|Actual.prgntas test" + edit + "tipo test", "Sep2|",
                              "Sep3|", "|", "MostrarAyuda|Ayuda|"}));

        const QStringList keys = {"Fecha", "Hora", ""};
        const int widths[] = {96, 96, 416}; // 1440, 1440, 6240 twips
        for (int i = 0; i < 3; ++i) {
            auto *panel = m_main->findChild<QWidget *>(QStringLiteral("StatusBar1_%1").arg(i + 1));
            QCOMPARE(panel->width(), widths[i]);
            QCOMPARE(panel->property("key").toString(), keys[i]);
        }
        MainWindowServices::instance()->setStatusText(QStringLiteral("Imprimir examen"));
        QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Imprimir examen"));

        // Fondo fills the area with Frame1 centred, also after a maximized child.
        m_main->resize(1100, 800);
        auto *fondo = Forms::findAs<Fondo>(QStringLiteral("Fondo"));
        const auto fills = [&] {
            return fondo->isMaximizedForm() && fondo->container()->isVisible() &&
                   fondo->container()->size() == m_main->mdiArea()->viewport()->size();
        };
        QTRY_VERIFY(fills());
        auto *frame = fondo->findChild<QWidget *>(QStringLiteral("Frame1"));
        const QPoint centred((fondo->width() - frame->width()) / 2,
                             (fondo->height() - frame->height()) / 2);
        QTRY_VERIFY((frame->pos() - centred).manhattanLength() <= 2);
        Forms::registerForm("Hijo", [] { return new Form("Hijo", Form::Placement::MdiChild); });
        qobject_cast<Form *>(Forms::load(QStringLiteral("Hijo")))->maximize();
        Forms::show(QStringLiteral("Hijo"));
        QTRY_VERIFY(!fills());
        Forms::unload(QStringLiteral("Hijo"));
        QTRY_VERIFY(fills());
    }

    void menuAndToolbarShowTheirWindowsThenAcercaTheSplash_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<int>("button");
        QTest::newRow("Examselec") << "mnuSelec1" << 4;
        QTest::newRow("Exammodi") << "mnuModifi1" << 5;
        QTest::newRow("Testselec") << "mnuSelec2" << 8;
        QTest::newRow("Testmodi") << "mnuModifi2" << 9;
        QTest::newRow("AYUDA") << "mnuContenido" << 13;
    }
    void menuAndToolbarShowTheirWindowsThenAcercaTheSplash()
    {
        QFETCH(QString, menuItem);
        QFETCH(int, button);
        const QString window = QString::fromLatin1(QTest::currentDataTag());
        openMainWindow();
        action(menuItem)->trigger();
        QVERIFY(Forms::find(window)->isVisible());
        QVERIFY(m_main->toolbarItem(13)->isVisible());
        Forms::unload(window);
        // A toolbar click also hides the help button.
        QTest::mouseClick(m_main->toolbarButton(button), Qt::LeftButton);
        QVERIFY(Forms::find(window)->isVisible());
        QVERIFY(!m_main->toolbarItem(13)->isVisible());
        // "Acerca de ..." then shows the splash the click left hidden, and it stays.
        action(QStringLiteral("mnuAcerca"))->trigger();
        // Once the splash is the active form every activation handler has run.
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(splash()));
        QVERIFY(splash()->isVisible() && !splash()->Timer1()->isActive());
    }

    // Each working window opened from the toolbar hides the help button; Esc
    // presses the window's exit button, which leaves without a question when
    // nothing would be lost, and the help button comes back.
    void escLeavesAWorkingWindowAndTheHelpButtonComesBack_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("trueFalseBank");
        QTest::newRow("Testselec") << "Testsselec" << true;
        QTest::newRow("Testmodi") << "Testsmodifi" << true;
        QTest::newRow("Examselec") << "Exposelec" << false;
        QTest::newRow("Exammodi") << "Expomodifi" << false;
    }
    void escLeavesAWorkingWindowAndTheHelpButtonComesBack()
    {
        QFETCH(QString, key);
        QFETCH(bool, trueFalseBank);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        std::optional<TrueFalseBankFixture> trueFalse;
        std::optional<ExpositionBankFixture> exposition;
        QVERIFY(trueFalseBank ? trueFalse.emplace().isReady() : exposition.emplace().isReady());
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
        openMainWindow();
        QAction *helpButton = m_main->toolbarItem(Orvalis::kHelpButton);
        QVERIFY(helpButton->isVisible());

        MessageBoxResponder responder; // a box not expected is a failure
        RealMainWindow::clickToolbar(m_main, key);
        QPointer<QWidget> window = Forms::find(name);
        QVERIFY(window);
        QTRY_COMPARE(Forms::activeForm(), window.data());
        QVERIFY(!helpButton->isVisible());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window);
        QCOMPARE(responder.seenTexts(), QStringList());
        QVERIFY(helpButton->isVisible());
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeAllFiles();
    }

    void closingAsksFirstButSalirEndsAtOnce_data()
    {
        // Tag: the menu item or toolbar key clicked, or the answer to closing.
        QTest::addColumn<bool>("ends");
        QTest::newRow("mnuSalir") << true;
        QTest::newRow("Salir") << true;
        QTest::newRow("Cancelar") << false;
        QTest::newRow("<Esc>") << false;
        QTest::newRow("Aceptar") << true;
    }
    void closingAsksFirstButSalirEndsAtOnce()
    {
        QFETCH(bool, ends);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const bool salir = tag.endsWith(u"Salir");
        openMainWindow();
        Forms::show(QStringLiteral("Testselec"));
        QList<MessageBoxResponder::Box> boxes;
        if (!salir)
            boxes << MessageBoxResponder::question(QStringLiteral("¿Seguro que quiere salir? "),
                                                   tag);
        bool closed = ends; // what close() returns, when asked
        QCOMPARE(
            MessageBoxResponder::answer(
                boxes, [&] { salir ? action(tag)->trigger() : void(closed = m_main->close()); }),
            QString());
        QCOMPARE(closed, ends);
        QCOMPARE(m_endings, ends ? 1 : 0);
        // Salir ends at once, without unloading the windows.
        QCOMPARE(Forms::find(QStringLiteral("Testselec")) == nullptr, ends && !salir);
    }
};

QTEST_MAIN(tst_Orvalis)
#include "tst_Orvalis.moc"
