// The main window: its menu and toolbar dispatch, and the close question.
#include "Forms.h"
#include "MessageBoxResponder.h"
#include "RealMainWindow.h"

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

    void menuAndToolbarShowTheirWindows_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<int>("button");
        // clang-format off
        QTest::newRow("Examselec") << "mnuSelec1" << 4;
        QTest::newRow("Exammodi") << "mnuModifi1" << 5;
        QTest::newRow("Testselec") << "mnuSelec2" << 8;
        QTest::newRow("Testmodi") << "mnuModifi2" << 9;
        QTest::newRow("AYUDA") << "mnuContenido" << 13;
        // clang-format on
    }
    void menuAndToolbarShowTheirWindows()
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
    }

    void closingAsksFirstButSalirEndsAtOnce_data()
    {
        // Tag: the menu item or toolbar key clicked, or the answer to closing.
        QTest::addColumn<bool>("ends");
        // clang-format off
        QTest::newRow("mnuSalir") << true;
        QTest::newRow("Salir") << true;
        QTest::newRow("Cancelar") << false;
        QTest::newRow("<Esc>") << false;
        QTest::newRow("Aceptar") << true;
        // clang-format on
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
