// The main window: its menu and toolbar dispatch, the menus' keys, the notice
// told after start-up, and the close question.
#include "Forms.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
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

    // A menu item answers its menu's access key and its own (the items are
    // wired alike: one stands for all; Alt+T, S opens Testselec in
    // tst_Testselec's whole exam), F10 opens the menu bar and F1 the general
    // help; while the toolbar is disabled (the output window is in front) the
    // window items of the menus are disabled with it, the help item among
    // them, so F1 opens nothing either. (Each toolbar button opens its window:
    // tst_ScreenReader; and hides the help button: tst_Ayuda.)
    void theMenusAnswerTheKeyboard_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QString>("shown"); // empty: no window opens
        // clang-format off
        QTest::newRow("Alt+A, A") << QList<QKeyCombination>{Qt::ALT | Qt::Key_A, Qt::Key_A} << true << "Apertura";
        QTest::newRow("F10, Down, Enter") << QList<QKeyCombination>{Qt::Key_F10, Qt::Key_Down, Qt::Key_Return} << true << "Examselec";
        QTest::newRow("F1") << QList<QKeyCombination>{Qt::Key_F1} << true << "AYUDA";
        QTest::newRow("toolbar disabled: F1") << QList<QKeyCombination>{Qt::Key_F1} << false << "";
        // clang-format on
    }
    void theMenusAnswerTheKeyboard()
    {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(bool, toolbar);
        QFETCH(QString, shown);
        openMainWindow();
        QVERIFY(m_main->toolbarItem(13)->isVisible()); // the help button, at the start
        if (!toolbar)                                  // else as the start-up leaves it
            m_main->setToolbarEnabled(false);
        for (const QKeyCombination key : keys) {
            QWidget *popup = QApplication::activePopupWidget();
            QTest::keyClick(popup ? popup : m_main, key.key(), key.keyboardModifiers());
        }
        QCOMPARE(Forms::loadedNames().filter(QRegularExpression("^(?!Fondo$|Orvalis$)")).join(u','),
                 shown);
    }

    // The longest window title, the exposition maintenance window's, is whole
    // in the status bar of a main window 1024 pixels wide.
    void theLongestTitleFitsTheStatusBar()
    {
        openMainWindow();
        m_main->setStatusText(QStringLiteral("Añadir / Modificar / Eliminar preguntas de "
                                             "exposición: conceptuales / prácticas / breves"));
        m_main->resize(1024, 700); // the width of the smallest screens in use
        const auto *panel = m_main->findChild<QLabel *>(QStringLiteral("StatusBar1_3"));
        QTRY_VERIFY(panel->sizeHint().width() <= panel->width());
    }

    // A notice about the start (a folder without a bank) comes once the
    // splash has given way, and only once.
    void aStartUpNoticeIsToldOnce()
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
        // Tag: the toolbar key clicked (the menu item calls the same slot), or
        // the answer to closing.
        QTest::addColumn<bool>("ends");
        // clang-format off
        QTest::newRow("Salir") << true;
        QTest::newRow("Cancelar") << false;
        QTest::newRow("Aceptar") << true;
        // clang-format on
    }
    void closingAsksFirstButSalirEndsAtOnce()
    {
        QFETCH(bool, ends);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const bool salir = tag == u"Salir";
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
