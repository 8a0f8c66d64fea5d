// The shell: start-up with the splash window, the main window's menu, toolbar
// and status bar, their dispatch, the close question and the background window.
#include "Apertura.h"
#include "Fondo.h"
#include "Forms.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
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
