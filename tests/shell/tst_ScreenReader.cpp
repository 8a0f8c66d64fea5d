// The program as a screen reader meets it: every window and dialog, opened
// from the real main window as the teacher opens it, is walked through the
// accessibility interfaces Qt serves to AT-SPI, and no interactive control in
// it may be nameless.
#include "Ayuda.h"
#include "BankFolders.h"
#include "Correccion.h"
#include "Exammodi.h"
#include "Examselec.h"
#include "GuiFixture.h"
#include "Impres.h"
#include "RealMainWindow.h"
#include "Testmodi.h"
#include "Testselec.h"

#include <QAccessible>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace GuiTest;

namespace {

// How the teacher gets to a window from the main window.
using Open = std::function<void(Orvalis *main)>;

const QList<QAccessible::Role> kControls{
    QAccessible::Button,   QAccessible::ButtonMenu,   QAccessible::ButtonDropDown,
    QAccessible::CheckBox, QAccessible::RadioButton,  QAccessible::ComboBox,
    QAccessible::SpinBox,  QAccessible::EditableText, QAccessible::List,
    QAccessible::Table,    QAccessible::Tree,         QAccessible::PageTab};

// Adds each nameless control at or under `iface` that is not a widget of its
// own (item-view cells and headers, menu items): widgets are visited apart.
void walk(QAccessibleInterface *iface, const QString &widget, QStringList &unnamed)
{
    if (kControls.contains(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed.append(QStringLiteral("role %1 in %2").arg(int(iface->role()), 0, 16).arg(widget));
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface *child = iface->child(i);
            child && !qobject_cast<QWidget *>(child->object()))
            walk(child, widget, unnamed);
}

// Every nameless control of `window`, windows of its own (a dialog it opened)
// left out.
QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : std::as_const(widgets)) {
        QWidget *up = widget;
        while (up != window && !up->isWindow())
            up = up->parentWidget();
        if (up == window)
            walk(QAccessible::queryAccessibleInterface(widget),
                 QString::fromLatin1(widget->metaObject()->className()) + u' ' +
                     widget->objectName(),
                 unnamed);
    }
    return unnamed;
}

// A window from its toolbar button, once it is the active form.
Open viaToolbar(int button, const QString &window)
{
    return [button, window](Orvalis *main) {
        QTest::mouseClick(main->toolbarButton(button), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([window] {
            return Forms::activeForm() && Forms::activeForm()->objectName() == window;
        }));
    };
}

// Then a click on `button` of that window.
Open thenClick(const Open &first, const QString &window, const QString &button)
{
    return [=](Orvalis *main) {
        first(main);
        click(Forms::find(window), button);
    };
}

// The texts the program had a screen reader say as notifications.
QStringList g_said;
void recordSaid(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && iface &&
        iface->role() == QAccessible::Notification)
        g_said.append(iface->text(QAccessible::Name));
}

} // namespace

Q_DECLARE_METATYPE(Open)

class tst_ScreenReader : public QObject
{
    Q_OBJECT

    GuiFixture<ExpositionBankFixture> m_gui;
    Orvalis *m_main = nullptr;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(m_gui.setUp());
        m_gui.dropStandIn();
        registerWindows<Testselec, Examselec, Testmodi, Exammodi, Impres, Ayuda, Correccion>();
        m_main = RealMainWindow::open();
        QVERIFY(m_main);
    }
    void cleanup() { m_gui.tearDown(); }

    // Buttons, lists, grids, fields, spin boxes and options each have a
    // name, in every window and dialog, hidden ones included (a reader may
    // meet them once they show: the search results).
    void everyControlHasAName_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<QString>("window"); // object name
        const Open selection = viaToolbar(8, WindowNames::kTestselec);
        const Open output = thenClick(selection, WindowNames::kTestselec, "Command1");
        QTest::newRow("Testselec") << selection << "Testselec";
        QTest::newRow("Examselec") << viaToolbar(4, WindowNames::kExamselec) << "Examselec";
        QTest::newRow("Testmodi") << viaToolbar(9, WindowNames::kTestmodi) << "Testmodi";
        QTest::newRow("Exammodi") << viaToolbar(5, WindowNames::kExammodi) << "Exammodi";
        // The output window opens inside the main window: both are walked at once.
        QTest::newRow("main window with Impres") << output << "Orvalis";
        QTest::newRow("AYUDA") << viaToolbar(13, WindowNames::kAyuda) << "AYUDA";
        QTest::newRow("Correccion") << viaToolbar(14, WindowNames::kCorreccion) << "Correccion";
        QTest::newRow("draw dialog") << thenClick(selection, "Testselec", "CommandAzar") << "Azar";
        QTest::newRow("exam format dialog")
            << thenClick(output, "Impres", "CommandFormato") << "FormatoExamen";
        QTest::newRow("title dialog") << thenClick(output, "Impres", "CommandTitulo") << "Titulo";
        QTest::newRow("message box")
            << thenClick(viaToolbar(9, WindowNames::kTestmodi), "Testmodi", "Command1")
            << "OrvalisMessageBox";
    }
    void everyControlHasAName()
    {
        QFETCH(Open, open);
        QFETCH(QString, window);
        // A modal dialog is walked while it is up, then closed with Esc.
        QStringList unnamed;
        bool walked = false;
        QTimer modal;
        connect(&modal, &QTimer::timeout, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (walked || !dialog || dialog->objectName() != window || !dialog->isVisible())
                return;
            walked = true;
            unnamed = unnamedControls(dialog);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        modal.start(20);
        open(m_main);
        if (!walked) {
            QWidget *shown = window == u"Orvalis" ? m_main : Forms::find(window);
            QVERIFY(shown && shown->isVisible());
            unnamed = unnamedControls(shown);
        }
        QCOMPARE(unnamed.join(u'\n'), QString());
    }

    // The printer's name, told in the status bar once the exam is sent, is
    // said as a notification; the window titles shown there are not.
    void theStatusBarNewsIsSaid()
    {
        QTemporaryDir printed;
        const QString pdf = printed.filePath(QStringLiteral("examen.pdf"));
        printTo(pdf);
        QVERIFY2(QAccessible::isActive(), "needs the accessibility bus: see atspi_session.sh");
        QAccessible::installUpdateHandler(recordSaid);
        g_said.clear();
        thenClick(thenClick(viaToolbar(8, WindowNames::kTestselec), "Testselec", "Command1"),
                  "Impres", "Command1_1")(m_main);
        QTRY_VERIFY(QFile::exists(pdf));
        QAccessible::installUpdateHandler(nullptr);
        QCOMPARE(g_said, QStringList("Examen enviado a la impresora " + pdf));
    }
};

QTEST_MAIN(tst_ScreenReader)
#include "tst_ScreenReader.moc"
