// The shell: start-up with the splash window, the main window's menu, toolbar
// and status bar, their dispatch, the close question and the background window.
#include "Apertura.h"
#include "ColouredButton.h"
#include "Fondo.h"
#include "Forms.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

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

    void theStatusTextShowsAndFondoFillsTheArea()
    {
        openMainWindow();
        MainWindowServices::instance()->setStatusText(QStringLiteral("Imprimir examen"));
        QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Imprimir examen"));

        // Fondo fills the area with Frame1 centred, also after a maximized child.
        m_main->resize(1100, 800);
        // The longest title of a window fits the text panel whole.
        const QString longest = QStringLiteral("Añadir / Modificar / Eliminar preguntas de "
                                               "exposición: conceptuales / prácticas / breves");
        MainWindowServices::instance()->setStatusText(longest);
        auto *panel = m_main->findChild<QLabel *>(QStringLiteral("StatusBar1_3"));
        QTRY_VERIFY(panel->contentsRect().width() >=
                    panel->fontMetrics().horizontalAdvance(longest));
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

    // Every menu title and item answers its access key, F10 opens the menu
    // bar and F1 the general help; while the toolbar is disabled (the output
    // window is in front) no menu item opens a window either.
    void theMenusAnswerTheKeyboard_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QString>("shown"); // empty: no window opens
        const auto alt = [](Qt::Key key) { return QKeyCombination(Qt::AltModifier, key); };
        const QKeyCombination s(Qt::Key_S), a(Qt::Key_A), c(Qt::Key_C);
        QTest::newRow("Alt+E, S") << QList{alt(Qt::Key_E), s} << true << "Examselec";
        QTest::newRow("Alt+E, A") << QList{alt(Qt::Key_E), a} << true << "Exammodi";
        QTest::newRow("Alt+T, S") << QList{alt(Qt::Key_T), s} << true << "Testselec";
        QTest::newRow("Alt+T, A") << QList{alt(Qt::Key_T), a} << true << "Testmodi";
        QTest::newRow("Alt+A, C") << QList{alt(Qt::Key_A), c} << true << "AYUDA";
        QTest::newRow("Alt+A, A") << QList{alt(Qt::Key_A), a} << true << "Apertura";
        QTest::newRow("F10, Down, Enter")
            << QList<QKeyCombination>{Qt::Key_F10, Qt::Key_Down, Qt::Key_Return} << true
            << "Examselec";
        QTest::newRow("F1") << QList<QKeyCombination>{Qt::Key_F1} << true << "AYUDA";
        QTest::newRow("toolbar disabled: Alt+T, S")
            << QList{alt(Qt::Key_T), s} << false << QString();
        QTest::newRow("toolbar disabled: F1")
            << QList<QKeyCombination>{Qt::Key_F1} << false << QString();
    }
    void theMenusAnswerTheKeyboard()
    {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(bool, toolbar);
        QFETCH(QString, shown);
        openMainWindow();
        m_main->setToolbarEnabled(toolbar);
        for (const QKeyCombination key : keys) {
            QWidget *popup = QApplication::activePopupWidget();
            QTest::keyClick(popup ? popup : m_main, key.key(), key.keyboardModifiers());
        }
        QStringList opened = Forms::loadedNames();
        opened.removeAll(QStringLiteral("Fondo"));
        opened.removeAll(QStringLiteral("Orvalis"));
        QCOMPARE(opened, shown.isEmpty() ? QStringList() : QStringList{shown});
        m_main->setToolbarEnabled(true);
    }

    // F1 in a window with a help button presses it.
    void f1PressesTheHelpButtonOfTheActiveWindow()
    {
        Forms::registerForm(QStringLiteral("Testselec"), [] {
            auto *form = new Form(QStringLiteral("Testselec"));
            QPushButton *button = ColouredButton::createHelp(form, "Command3", QRect(0, 0, 40, 20));
            QObject::connect(button, &QPushButton::clicked, form,
                             [form] { form->setProperty("helped", true); });
            return form;
        });
        openMainWindow();
        QWidget *window = Forms::show(QStringLiteral("Testselec"));
        QTRY_COMPARE(Forms::activeForm(), window);
        QTest::keyClick(window, Qt::Key_F1);
        QVERIFY(window->property("helped").toBool());
        QCOMPARE(Forms::find(QStringLiteral("AYUDA")), nullptr);
    }

    // A notice about the start comes once the splash has given way, once.
    void aStartUpNoticeIsToldOnceTheSplashHasGone()
    {
        const QString notice = QStringLiteral("En la carpeta /tmp/x no hay ningún banco");
        Orvalis::setStartupNotice(notice);
        QCOMPARE(MessageBoxResponder::answer({MessageBoxResponder::notice(notice)},
                                             [] { RealMainWindow::open(); }),
                 QString());
        cleanup();
        init();
        QCOMPARE(MessageBoxResponder::answer({}, [this] { openMainWindow(); }), QString());
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
