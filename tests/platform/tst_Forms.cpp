// The form lifecycle: loading once, showing, unloading, child windows in the
// main window's area, and the activation handlers with their order.
#include "FakeMainWindowServices.h"
#include "Form.h"
#include "Forms.h"
#include "MessageBox.h"
#include "MessageBoxResponder.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

namespace {

QStringList g_log;
int g_constructed = 0;

class LoggingForm : public Form
{
public:
    explicit LoggingForm(const QString &name, Placement placement = Placement::TopLevel)
        : Form(name, placement)
    {
        ++g_constructed;
        resize(200, 150);
    }

    void Form_Load() override { g_log << objectName() + QStringLiteral(":Load"); }
    void Form_Activate() override { g_log << objectName() + QStringLiteral(":Activate"); }
    void Form_Deactivate() override
    {
        g_log << objectName() + QStringLiteral(":Deactivate");
        if (askOnDeactivate)
            answeredCancel = MessageBox::askCancelled(QStringLiteral("¿Salir?"), this);
    }
    bool Form_QueryUnload() override { return allowClose; }
    void Form_Unload() override { g_log << objectName() + QStringLiteral(":Unload"); }

    bool allowClose = true;
    bool askOnDeactivate = false;
    bool answeredCancel = false;
};

// A main window that loads one child window from its own load step, as the
// program's main window does with its background window.
class MainForm : public QMainWindow, public FormHandlers, public MainWindowServices
{
public:
    MainForm()
    {
        setObjectName(QStringLiteral("Main"));
        setCentralWidget(new QMdiArea(this));
        resize(600, 400);
        MainWindowServices::install(this);
    }
    ~MainForm() override { MainWindowServices::install(nullptr); }

    void Form_Load() override
    {
        g_log << QStringLiteral("Main:Load");
        Forms::load(QStringLiteral("Child"));
    }
    void Form_Activate() override { g_log << QStringLiteral("Main:Activate"); }
    void Form_Deactivate() override { g_log << QStringLiteral("Main:Deactivate"); }

    void setToolbarEnabled(bool) override {}
    void setHelpButtonVisible(bool) override {}
    void setStatusText(const QString &) override {}
    void focusMainWindow() override {}
    QWidget *mainWidget() override { return this; }
};

void registerLogging(const QString &name, Form::Placement placement = Form::Placement::TopLevel)
{
    Forms::registerForm(name, [name, placement] { return new LoggingForm(name, placement); });
}

LoggingForm *logging(const QString &name)
{
    return dynamic_cast<LoggingForm *>(Forms::find(name));
}

} // namespace

class tst_Forms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        g_log.clear();
        g_constructed = 0;
    }
    void cleanup()
    {
        Forms::reset();
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void oneFormIsLoadedOnceWhateverTheCaseAndSurvivesHiding()
    {
        registerLogging(QStringLiteral("Alfa"));
        QWidget *form = Forms::load(QStringLiteral("Alfa"));
        QVERIFY(form);
        QVERIFY(!form->isVisible());
        QCOMPARE(g_log, QStringList{QStringLiteral("Alfa:Load")});
        QCOMPARE(form->objectName(), QStringLiteral("Alfa"));

        QCOMPARE(Forms::show(QStringLiteral("ALFA")), form);
        QVERIFY(form->isVisible());
        form->hide();
        QCOMPARE(Forms::find(QStringLiteral("alfa")), form);
        QCOMPARE(Forms::show(QStringLiteral("Alfa")), form);
        QVERIFY(form->isVisible());
        QCOMPARE(g_constructed, 1);
        QCOMPARE(g_log.count(QStringLiteral("Alfa:Load")), 1);
    }

    void namesWithoutFactoryDoNothing()
    {
        QVERIFY(!Forms::isRegistered(QStringLiteral("AYUDA")));
        QCOMPARE(Forms::show(QStringLiteral("AYUDA")), nullptr);
        QCOMPARE(Forms::load(QStringLiteral("AYUDA")), nullptr);
        Forms::unload(QStringLiteral("AYUDA"));
        QVERIFY(Forms::loadedNames().isEmpty());
    }

    void unloadRunsFormUnloadThenDestroys()
    {
        registerLogging(QStringLiteral("Alfa"));
        QPointer<QWidget> form = Forms::show(QStringLiteral("Alfa"));
        Forms::unload(QStringLiteral("Alfa"));
        QVERIFY(g_log.contains(QStringLiteral("Alfa:Unload")));
        QCOMPARE(Forms::find(QStringLiteral("Alfa")), nullptr);
        QVERIFY(Forms::loadedNames().isEmpty());
        QTRY_VERIFY(form.isNull());
        // Showing it again creates a new one and loads it again.
        QVERIFY(Forms::show(QStringLiteral("Alfa")));
        QCOMPARE(g_constructed, 2);
        QCOMPARE(g_log.count(QStringLiteral("Alfa:Load")), 2);
    }

    void closingAsksQueryUnloadFirst_data()
    {
        QTest::addColumn<bool>("allow");
        QTest::newRow("allowed") << true;
        QTest::newRow("refused") << false;
    }
    void closingAsksQueryUnloadFirst()
    {
        QFETCH(bool, allow);
        registerLogging(QStringLiteral("Alfa"));
        Forms::show(QStringLiteral("Alfa"));
        LoggingForm *form = logging(QStringLiteral("Alfa"));
        form->allowClose = allow;
        QCOMPARE(form->close(), allow);
        QCOMPARE(g_log.contains(QStringLiteral("Alfa:Unload")), allow);
        QCOMPARE(Forms::find(QStringLiteral("Alfa")) != nullptr, !allow);
    }

    void activationRunsQueuedAndInOrder()
    {
        registerLogging(QStringLiteral("Alfa"));
        registerLogging(QStringLiteral("Beta"));
        Forms::show(QStringLiteral("Alfa"));
        QTRY_VERIFY(g_log.contains(QStringLiteral("Alfa:Activate")));
        g_log.clear();

        Forms::show(QStringLiteral("Beta"));
        // Nothing runs before control returns to the event loop.
        QCOMPARE(g_log, QStringList{QStringLiteral("Beta:Load")});
        QTRY_COMPARE(g_log,
                     (QStringList{QStringLiteral("Beta:Load"), QStringLiteral("Alfa:Deactivate"),
                                  QStringLiteral("Beta:Activate")}));
        QCOMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Beta")));

        g_log.clear();
        Forms::show(QStringLiteral("Alfa"));
        QTRY_COMPARE(g_log, (QStringList{QStringLiteral("Beta:Deactivate"),
                                         QStringLiteral("Alfa:Activate")}));
    }

    void messageBoxesAndOtherWindowsAreNotForms()
    {
        registerLogging(QStringLiteral("Alfa"));
        Forms::show(QStringLiteral("Alfa"));
        QTRY_COMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Alfa")));
        g_log.clear();

        MessageBoxResponder responder;
        responder.expect(QStringLiteral("Aviso"), {QStringLiteral("Aceptar")},
                         QStringLiteral("Aceptar"));
        MessageBox::inform(QStringLiteral("Aviso"));
        QCOMPARE(responder.seen(), 1);

        // A window that is not a registered form is like another application.
        QWidget stranger;
        stranger.show();
        stranger.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &stranger);
        Forms::find(QStringLiteral("Alfa"))->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), Forms::find(QStringLiteral("Alfa")));
        QTest::qWait(50);
        QVERIFY2(g_log.isEmpty(), qPrintable(g_log.join(u' ')));
        QVERIFY(responder.failures().isEmpty());
    }

    void deactivationHandlerMayOpenAModalBox()
    {
        registerLogging(QStringLiteral("Alfa"));
        registerLogging(QStringLiteral("Beta"));
        Forms::show(QStringLiteral("Alfa"));
        QTRY_COMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Alfa")));
        logging(QStringLiteral("Alfa"))->askOnDeactivate = true;

        MessageBoxResponder responder;
        responder.expect(QStringLiteral("¿Salir?"),
                         {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")},
                         MessageBoxResponder::kEscape);
        Forms::show(QStringLiteral("Beta"));
        QVERIFY(responder.waitUntilAnswered());
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QTRY_VERIFY(g_log.contains(QStringLiteral("Beta:Activate")));
        QVERIFY(logging(QStringLiteral("Alfa"))->answeredCancel);
        QCOMPARE(g_log.count(QStringLiteral("Alfa:Deactivate")), 1);
    }

    void unloadingTheActiveFormActivatesTheNextWithoutDeactivating()
    {
        registerLogging(QStringLiteral("Alfa"));
        registerLogging(QStringLiteral("Beta"));
        Forms::show(QStringLiteral("Alfa"));
        Forms::show(QStringLiteral("Beta"));
        QTRY_COMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Beta")));
        g_log.clear();
        Forms::unload(QStringLiteral("Beta"));
        Forms::find(QStringLiteral("Alfa"))->activateWindow();
        QTRY_COMPARE(g_log,
                     (QStringList{QStringLiteral("Beta:Unload"), QStringLiteral("Alfa:Activate")}));
    }

    void childWindowsLiveInTheMainWindowArea()
    {
        FakeMainWindowServices main;
        main.window.show();
        registerLogging(QStringLiteral("Hijo"), Form::Placement::MdiChild);
        auto *child = qobject_cast<Form *>(Forms::load(QStringLiteral("Hijo")));
        QVERIFY(child);
        auto *frame = qobject_cast<QMdiSubWindow *>(child->container());
        QVERIFY(frame);
        QCOMPARE(frame->mdiArea(), main.area);
        QVERIFY(!frame->isVisible());

        child->maximize();
        Forms::show(QStringLiteral("Hijo"));
        QVERIFY(frame->isVisible());
        QVERIFY(frame->isMaximized());
        QCOMPARE(main.area->currentSubWindow(), frame);

        child->hide();
        QVERIFY(!frame->isVisible());
        QCOMPARE(Forms::find(QStringLiteral("Hijo")), child);

        QPointer<QMdiSubWindow> watched(frame);
        Forms::unload(QStringLiteral("Hijo"));
        QTRY_VERIFY(watched.isNull());
        QVERIFY(main.area->subWindowList().isEmpty());
    }

    void theMainWindowAndItsChildrenCountAsForms()
    {
        FakeMainWindowServices main;
        main.window.show();
        registerLogging(QStringLiteral("Alfa"));
        registerLogging(QStringLiteral("Hijo"), Form::Placement::MdiChild);
        Forms::show(QStringLiteral("Alfa"));
        QTRY_COMPARE(Forms::activeForm(), Forms::find(QStringLiteral("Alfa")));
        g_log.clear();

        // The main window with no child window: the top-level form loses.
        main.window.activateWindow();
        QTRY_COMPARE(g_log, QStringList{QStringLiteral("Alfa:Deactivate")});
        QCOMPARE(Forms::activeForm(), &main.window);

        // A child window becomes the active form while the main window is active.
        g_log.clear();
        Forms::show(QStringLiteral("Hijo"));
        QTRY_COMPARE(g_log,
                     (QStringList{QStringLiteral("Hijo:Load"), QStringLiteral("Hijo:Activate")}));

        g_log.clear();
        Forms::show(QStringLiteral("Alfa"));
        QTRY_COMPARE(g_log, (QStringList{QStringLiteral("Hijo:Deactivate"),
                                         QStringLiteral("Alfa:Activate")}));
        g_log.clear();
        main.window.activateWindow();
        QTRY_COMPARE(g_log, (QStringList{QStringLiteral("Alfa:Deactivate"),
                                         QStringLiteral("Hijo:Activate")}));
    }

    void showingAChildLoadsTheMainWindowFirst()
    {
        Forms::registerMainForm(QStringLiteral("Main"), [] { return new MainForm; });
        registerLogging(QStringLiteral("Child"), Form::Placement::MdiChild);
        auto *child = qobject_cast<Form *>(Forms::show(QStringLiteral("Child")));
        QVERIFY(child);
        // The main window's load step loaded the child; it is not loaded twice.
        QCOMPARE(g_log.mid(0, 2),
                 (QStringList{QStringLiteral("Main:Load"), QStringLiteral("Child:Load")}));
        QCOMPARE(g_log.count(QStringLiteral("Child:Load")), 1);
        QWidget *main = Forms::find(QStringLiteral("Main"));
        QVERIFY(main && main->isVisible());
        QCOMPARE(child->window(), main);
        QVERIFY(child->isVisible());
        QTRY_COMPARE(Forms::activeForm(), child);
    }
};

QTEST_MAIN(tst_Forms)
#include "tst_Forms.moc"
