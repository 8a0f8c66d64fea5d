// The main window: menu, toolbar and status bar texts, the toolbar dispatch
// and its help button, the splash window under toolbar clicks and "Acerca
// de ...", the close question, ending the program and the background window.
#include "Apertura.h"
#include "Fondo.h"
#include "MessageBoxResponder.h"
#include "ProgramState.h"
#include "ShellTestHelpers.h"
#include "Twips.h"

#include <QAction>
#include <QDate>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace {

const QStringList kWorkingWindows = {QStringLiteral("Examselec"), QStringLiteral("Exammodi"),
                                     QStringLiteral("Testselec"), QStringLiteral("Testmodi"),
                                     QStringLiteral("AYUDA")};

Apertura *splash()
{
    return Forms::findAs<Apertura>(QStringLiteral("Apertura"));
}

} // namespace

// A child window that opens maximized, as the output window does.
class MaximizedChild : public Form
{
public:
    MaximizedChild() : Form(QStringLiteral("Hijo"), Placement::MdiChild) {}
    void Form_Load() override { maximize(); }
};

class tst_Orvalis : public QObject
{
    Q_OBJECT

    Orvalis *m_main = nullptr;
    int m_endings = 0;

    // The main window as the start-up leaves it, with the splash gone.
    void openMainWindow(bool withWorkingWindows = true)
    {
        Shell::registerForms();
        if (withWorkingWindows)
            registerStandIns(kWorkingWindows);
        Forms::show(QStringLiteral("Fondo"));
        m_main = Forms::findAs<Orvalis>(QStringLiteral("Orvalis"));
        QVERIFY(m_main);
        m_main->setEndProgram([this] { ++m_endings; });
        // Wide enough for the whole toolbar (the test screen is 800 pixels wide).
        m_main->resize(1000, 700);
        Forms::unload(QStringLiteral("Apertura"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ShellLog::lines().clear();
        m_endings = 0;
    }

    QToolButton *button(int index) { return m_main->toolbarButton(index); }

private Q_SLOTS:
    void init()
    {
        openMainWindow();
        ActiveWindowCode = ActiveWindowCodes::kNone;
    }
    void cleanup()
    {
        m_main = nullptr;
        clearForms();
    }

    void menuHasTheItemsInOrder()
    {
        QCOMPARE(m_main->windowTitle().isEmpty(), false);
        QStringList top;
        for (QAction *a : m_main->menuBar()->actions())
            top << a->objectName() + u'=' + a->text();
        QCOMPARE(top, (QStringList{"mnuSalir=Salir", "mnuExamenExposicion=Preguntas de exposición",
                                   "mnuExamenTests=Preguntas tipo test", "mnuAyuda=Ayuda"}));
        QVERIFY(!m_main->menuBar()->actions().first()->menu());

        const auto items = [this](const char *menu) {
            QStringList list;
            for (QAction *a : m_main->findChild<QMenu *>(QString::fromLatin1(menu))->actions())
                list << a->objectName() + u'=' + a->text();
            return list;
        };
        QCOMPARE(items("mnuExamenExposicion"),
                 (QStringList{"mnuSelec1=Seleccionar preguntas",
                              "mnuModifi1=Añadir/modificar/eliminar preguntas"}));
        QCOMPARE(items("mnuExamenTests"),
                 (QStringList{"mnuSelec2=Seleccionar preguntas",
                              "mnuModifi2=Añadir/modificar/eliminar preguntas"}));
        QCOMPARE(items("mnuAyuda"),
                 (QStringList{"mnuContenido=Contenido", "mnuAcerca=Acerca de ..."}));
    }

    void menuAndToolbarShowTheirWindows_data()
    {
        QTest::addColumn<QString>("menuItem"); // empty: the toolbar button instead
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("window");
        const QStringList items{"mnuSelec1", "mnuModifi1", "mnuSelec2", "mnuModifi2",
                                "mnuContenido"};
        const QStringList keys{"Exposelec", "Expomodifi", "Testsselec", "Testsmodifi",
                               "MostrarAyuda"};
        const int buttons[] = {4, 5, 8, 9, 13};
        for (int i = 0; i < 5; ++i) {
            QTest::newRow(qPrintable(items[i])) << items[i] << 0 << kWorkingWindows[i];
            QTest::newRow(qPrintable(keys[i])) << QString() << buttons[i] << kWorkingWindows[i];
        }
    }
    void menuAndToolbarShowTheirWindows()
    {
        QFETCH(QString, menuItem);
        QFETCH(int, button);
        QFETCH(QString, window);
        if (button)
            QTest::mouseClick(this->button(button), Qt::LeftButton);
        else
            m_main->findChild<QAction *>(menuItem)->trigger();
        QWidget *shown = Forms::find(window);
        QVERIFY(shown);
        QVERIFY(shown->isVisible());
        QCOMPARE(ActiveWindowCode,
                 window == u"AYUDA" ? ActiveWindowCodes::kMain : ActiveWindowCodes::kNone);
        QCOMPARE(m_endings, 0);
        // Only a toolbar click hides the help button, and it creates the
        // splash window for the click, hidden and stopped.
        QCOMPARE(m_main->toolbarItem(13)->isVisible(), button == 0);
        QCOMPARE(Forms::loadedNames().size(), button ? 4 : 3);
        if (button) {
            QVERIFY(splash());
            QVERIFY(!splash()->isVisible());
            QVERIFY(!splash()->Timer1()->isActive());
        }
    }

    void windowsThatHaveNotLandedDoNothing()
    {
        Forms::reset();
        openMainWindow(false);
        for (const char *item :
             {"mnuSelec1", "mnuModifi1", "mnuSelec2", "mnuModifi2", "mnuContenido"})
            m_main->findChild<QAction *>(QString::fromLatin1(item))->trigger();
        QCOMPARE(Forms::loadedNames(), (QStringList{"Fondo", "Orvalis"}));
        QCOMPARE(m_endings, 0);
    }

    void toolbarHasThirteenItems_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<int>("picture");
        QTest::newRow("1") << 1 << "Salir"
                           << "Salir"
                           << "Salir del programa" << 1;
        QTest::newRow("2") << 2 << "Sep1"
                           << ""
                           << "" << 0;
        QTest::newRow("3") << 3 << ""
                           << ""
                           << "" << 0;
        QTest::newRow("4") << 4 << "Exposelec"
                           << "Selec.prgntas exp."
                           << "Seleccionar preguntas de exposición" << 3;
        QTest::newRow("5") << 5 << "Expomodifi"
                           << "Actual.prgtas.exp."
                           << "Añadir / modificar / eliminar  preguntas de exposición" << 11;
        QTest::newRow("6") << 6 << "Sep4"
                           << ""
                           << "" << 0;
        QTest::newRow("7") << 7 << ""
                           << ""
                           << "" << 0;
        QTest::newRow("8") << 8 << "Testsselec"
                           << "Selec.prgntas test"
                           << "Seleccionar preguntas tipo test" << 10;
        QTest::newRow("9") << 9 << "Testsmodifi"
                           << "Actual.prgntas test"
                           << "Añadir / modificar / eliminar  preguntas tipo test" << 12;
        QTest::newRow("10") << 10 << "Sep2"
                            << ""
                            << "" << 0;
        QTest::newRow("11") << 11 << "Sep3"
                            << ""
                            << "" << 0;
        QTest::newRow("12") << 12 << ""
                            << ""
                            << "" << 0;
        QTest::newRow("13") << 13 << "MostrarAyuda"
                            << "Ayuda"
                            << "" << 8;
    }
    void toolbarHasThirteenItems()
    {
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        QFETCH(int, picture);
        auto *toolbar = m_main->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
        QVERIFY(toolbar);
        QCOMPARE(toolbar->actions().size(), 13);
        QAction *item = m_main->toolbarItem(index);
        QCOMPARE(toolbar->actions().at(index - 1), item);
        QCOMPARE(item->property("key").toString(), key);
        QCOMPARE(item->isSeparator(), picture == 0);
        if (picture == 0)
            return;
        QCOMPARE(item->text(), caption);
        QToolButton *b = button(index);
        QCOMPARE(b->objectName(), QStringLiteral("Toolbar1_%1").arg(index));
        QCOMPARE(b->text(), caption);
        const QImage shown = item->icon().pixmap(32, 32).toImage();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, m_main->imageListPicture(picture).pixmap(32, 32).toImage());
        for (int other = 1; other <= 12; ++other)
            if (other != picture)
                QVERIFY(shown != m_main->imageListPicture(other).pixmap(32, 32).toImage());

        // The tool tip that reaches the screen.
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        m_main->show();
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), b->mapToGlobal(QPoint(4, 4)));
        QCoreApplication::sendEvent(b, &help);
        if (toolTip.isEmpty()) {
            QVERIFY(!QToolTip::isVisible());
        } else {
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), toolTip);
        }
        QToolTip::hideText();
    }

    void aClickOnAKeyWithoutCommandOnlyHidesTheHelpButton()
    {
        QAction stray(QStringLiteral("otro"));
        stray.setProperty("key", QStringLiteral("Sep1"));
        m_main->Toolbar1_ButtonClick(&stray);
        QVERIFY(!m_main->toolbarItem(13)->isVisible());
        QCOMPARE(Forms::loadedNames(), (QStringList{"Apertura", "Fondo", "Orvalis"}));
        QCOMPARE(m_endings, 0);
    }

    void toolbarClickHidesAndStopsTheSplashThenAcercaShowsIt()
    {
        Forms::show(QStringLiteral("Apertura"));
        QPointer<Apertura> shown = splash();
        QVERIFY(shown->Timer1()->isActive());
        QTest::mouseClick(button(4), Qt::LeftButton);
        QCOMPARE(splash(), shown.data());
        QVERIFY(!shown->isVisible());
        QVERIFY(!shown->Timer1()->isActive());

        // The same window comes back without its load step: no timer.
        m_main->findChild<QAction *>(QStringLiteral("mnuAcerca"))->trigger();
        QCOMPARE(splash(), shown.data());
        QVERIFY(shown->isVisible());
        QVERIFY(!shown->Timer1()->isActive());
        QTest::qWait(100);
        QVERIFY(shown->isVisible());

        // It stays until clicked; the click brings the background forward.
        QTest::mouseClick(shown, Qt::LeftButton, {}, shown->rect().center());
        QCOMPARE(splash(), nullptr);
        QTRY_COMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Fondo")));
    }

    void acercaCreatesASplashThatClosesByItself()
    {
        QCOMPARE(splash(), nullptr);
        m_main->findChild<QAction *>(QStringLiteral("mnuAcerca"))->trigger();
        QPointer<Apertura> about = splash();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(about->Timer1()->isActive());
        about->Timer1()->setInterval(20);
        QTRY_VERIFY(about.isNull());
        QVERIFY(m_main->isVisible());
    }

    void salirEndsTheProgramWithoutAQuestion_data()
    {
        QTest::addColumn<bool>("fromToolbar");
        QTest::newRow("menu") << false;
        QTest::newRow("toolbar") << true;
    }
    void salirEndsTheProgramWithoutAQuestion()
    {
        QFETCH(bool, fromToolbar);
        Forms::show(QStringLiteral("Testselec"));
        MessageBoxResponder responder;
        if (fromToolbar)
            QTest::mouseClick(button(1), Qt::LeftButton);
        else
            m_main->findChild<QAction *>(QStringLiteral("mnuSalir"))->trigger();
        QCOMPARE(m_endings, 1);
        QTest::qWait(50);
        QCOMPARE(responder.seen(), 0);
        // No window's closing step runs.
        QVERIFY(!ShellLog::lines().contains(QStringLiteral("Testselec:Unload")));
    }

    void closingAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Cancelar") << "Cancelar" << false;
        QTest::newRow("Esc") << MessageBoxResponder::kEscape << false;
        QTest::newRow("Aceptar") << "Aceptar" << true;
    }
    void closingAsksFirst()
    {
        QFETCH(QString, answer);
        QFETCH(bool, ends);
        Forms::show(QStringLiteral("Testselec"));
        m_main->setStatusText(QStringLiteral("Seleccionar preguntas tipo test"));
        m_main->show();
        MessageBoxResponder responder;
        responder.expect(QStringLiteral("¿Seguro que quiere salir? "),
                         {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}, answer);
        const bool closed = m_main->close();
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QCOMPARE(responder.seen(), 1);
        QCOMPARE(closed, ends);
        QCOMPARE(m_endings, ends ? 1 : 0);
        if (ends) {
            QCOMPARE(Forms::loadedNames(), QStringList{QStringLiteral("Orvalis")});
            QVERIFY(ShellLog::lines().contains(QStringLiteral("Testselec:Unload")));
        } else {
            QVERIFY(m_main->isVisible());
            QCOMPARE(Forms::loadedNames(), (QStringList{"Fondo", "Orvalis", "Testselec"}));
            QVERIFY(Forms::find(QStringLiteral("Testselec"))->isVisible());
            QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Seleccionar preguntas tipo test"));
            QVERIFY(!ShellLog::lines().contains(QStringLiteral("Testselec:Unload")));
        }
    }

    void statusBarHasDateTimeAndAFreePanel()
    {
        auto *bar = m_main->findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
        QVERIFY(bar);
        const int widths[] = {1440, 1440, 6240};
        const char *keys[] = {"Fecha", "Hora", ""};
        for (int i = 1; i <= 3; ++i) {
            auto *panel = bar->findChild<QLabel *>(QStringLiteral("StatusBar1_%1").arg(i));
            QVERIFY(panel);
            QCOMPARE(panel->width(), Twips::toPixelsX(widths[i - 1]));
            QCOMPARE(panel->property("key").toString(), QString::fromLatin1(keys[i - 1]));
        }
        const QDateTime before = QDateTime::currentDateTime();
        const QString date = m_main->statusPanelText(1);
        const QString time = m_main->statusPanelText(2);
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(date == before.toString(QStringLiteral("dd/MM/yyyy")) ||
                date == after.toString(QStringLiteral("dd/MM/yyyy")));
        QVERIFY(time == before.toString(QStringLiteral("HH:mm")) ||
                time == after.toString(QStringLiteral("HH:mm")));
        QCOMPARE(m_main->statusPanelText(3), QString());

        // The clock keeps the panels current.
        auto *clock = m_main->findChild<QTimer *>(QStringLiteral("StatusBar1_clock"));
        QVERIFY(clock && clock->isActive());
        bar->findChild<QLabel *>(QStringLiteral("StatusBar1_2"))->setText(QStringLiteral("--"));
        QTRY_VERIFY_WITH_TIMEOUT(m_main->statusPanelText(2) != u"--", 3000);

        MainWindowServices::instance()->setStatusText(QStringLiteral("Imprimir examen"));
        QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Imprimir examen"));
    }

    void toolbarEnabledStateIsAServiceTheSplashRestores()
    {
        auto *toolbar = m_main->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
        MainWindowServices::instance()->setToolbarEnabled(false);
        QVERIFY(!toolbar->isEnabled());
        Forms::show(QStringLiteral("Apertura"));
        Forms::unload(QStringLiteral("Apertura"));
        QVERIFY(toolbar->isEnabled());
    }

    void fondoFillsTheAreaWithItsFrameCentred_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("large") << QSize(1100, 800);
        QTest::newRow("small") << QSize(500, 400);
        QTest::newRow("wide") << QSize(1500, 500);
    }
    void fondoFillsTheAreaWithItsFrameCentred()
    {
        QFETCH(QSize, size);
        m_main->show();
        m_main->resize(size);
        auto *fondo = Forms::findAs<Fondo>(QStringLiteral("Fondo"));
        QVERIFY(fondo->isMaximizedForm());
        QTRY_COMPARE(fondo->container()->size(), m_main->mdiArea()->viewport()->size());
        auto *frame = fondo->findChild<QFrame *>(QStringLiteral("Frame1"));
        QVERIFY(frame);
        const QPoint expected((fondo->width() - frame->width()) / 2,
                              (fondo->height() - frame->height()) / 2);
        QTRY_VERIFY(qAbs(frame->x() - expected.x()) <= 1 && qAbs(frame->y() - expected.y()) <= 1);
        // The title block lies whole inside the frame.
        for (int i = 1; i <= 5; ++i) {
            auto *label = frame->findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
            QVERIFY(label && !label->text().isEmpty());
            QVERIFY(frame->rect().contains(label->geometry()));
        }
    }

    // A maximized child window (the output window) restores the other child
    // windows while it is active; the background must fill the area again
    // once it is gone.
    void fondoFillsTheAreaAgainAfterAMaximizedChildCloses()
    {
        Forms::registerForm(QStringLiteral("Hijo"), [] { return new MaximizedChild; });
        m_main->show();
        auto *fondo = Forms::findAs<Fondo>(QStringLiteral("Fondo"));
        Forms::show(QStringLiteral("Hijo"));
        QTRY_VERIFY(Forms::findAs<Form>(QStringLiteral("Hijo"))->isMaximizedForm());
        Forms::unload(QStringLiteral("Hijo"));
        QTRY_VERIFY(fondo->isMaximizedForm());
        QTRY_COMPARE(fondo->container()->size(), m_main->mdiArea()->viewport()->size());
        QVERIFY(fondo->container()->isVisible());
    }
};

QTEST_MAIN(tst_Orvalis)
#include "tst_Orvalis.moc"
