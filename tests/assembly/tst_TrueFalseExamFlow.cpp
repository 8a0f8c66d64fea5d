// A true/false exam inside the real main window: opened from the toolbar and
// the menu, handed to the output window (toolbar disabled, status panel
// texts), brought back, and left when the main window takes over.
#include "FlexGrid.h"
#include "Forms.h"
#include "Impres.h"
#include "MessageBoxResponder.h"
#include "OpenFiles.h"
#include "Orvalis.h"
#include "ProgramState.h"
#include "Shell.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

class tst_TrueFalseExamFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TrueFalseBankFixture> m_bank;
    QPointer<Orvalis> m_main;

    Testselec *selection() const { return Forms::findAs<Testselec>(QStringLiteral("Testselec")); }
    Impres *output() const { return Forms::findAs<Impres>(QStringLiteral("Impres")); }
    bool toolbarEnabled() const
    {
        return m_main->findChild<QToolBar *>(QStringLiteral("Toolbar1"))->isEnabled();
    }

    void pressToolbar(const QString &key)
    {
        for (int index = 1; index <= Orvalis::kToolbarButtons; ++index)
            if (m_main->toolbarItem(index)->objectName() == key) {
                QTest::mouseClick(m_main->toolbarButton(index), Qt::LeftButton);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no toolbar button %1").arg(key)));
    }
    static void doubleClick(FlexGrid *grid, int row, int col)
    {
        const FlexGrid::CellSpot spot = grid->locateCell(row, col);
        QVERIFY(spot.widget);
        QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
    }

private Q_SLOTS:
    void init()
    {
        m_bank = std::make_unique<TrueFalseBankFixture>();
        QVERIFY(m_bank->isReady());
        Shell::registerForms();
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Impres::kName, [] { return new Impres; });
        Forms::show(QStringLiteral("Fondo"));
        m_main = Forms::findAs<Orvalis>(QStringLiteral("Orvalis"));
        QVERIFY(m_main);
        m_main->setEndProgram([] {});
        m_main->resize(1000, 700);
        Forms::unload(QStringLiteral("Apertura"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        ActiveWindowCode = ActiveWindowCodes::kMain;
    }
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeAllFiles();
        m_bank.reset();
    }

    void opensFromTheToolbarOrTheMenuCentredOverTheMainWindow_data()
    {
        QTest::addColumn<bool>("fromToolbar");
        QTest::newRow("toolbar Testsselec") << true;
        QTest::newRow("menu mnuSelec2") << false;
    }
    void opensFromTheToolbarOrTheMenuCentredOverTheMainWindow()
    {
        QFETCH(bool, fromToolbar);
        if (fromToolbar)
            pressToolbar(QStringLiteral("Testsselec"));
        else
            m_main->findChild<QAction *>(QStringLiteral("mnuSelec2"))->trigger();
        QTRY_VERIFY(selection() && selection()->isVisible());
        QVERIFY(selection()->isWindow());
        QVERIFY(qAbs(selection()->frameGeometry().center().x() -
                     m_main->frameGeometry().center().x()) <= 2);
        QVERIFY(qAbs(selection()->frameGeometry().center().y() -
                     m_main->frameGeometry().center().y()) <= 2);
        QTRY_COMPARE(m_main->statusPanelText(3), QStringLiteral("Seleccionar preguntas tipo test"));
        if (fromToolbar)
            QVERIFY(!m_main->toolbarItem(Orvalis::kHelpButton)->isVisible());

        MessageBoxResponder responder;
        QTest::mouseClick(selection()->findChild<QPushButton *>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        QTRY_VERIFY(!selection());
        QCOMPARE(responder.seen(), 0);
        QVERIFY(m_main->toolbarItem(Orvalis::kHelpButton)->isVisible());
        QCOMPARE(m_main->statusPanelText(3), QString());
    }

    void theOutputWindowDisablesTheToolbarUntilItIsLeft()
    {
        pressToolbar(QStringLiteral("Testsselec"));
        QTRY_VERIFY(selection() && Forms::activeForm() == selection());
        doubleClick(selection()->findChild<FlexGrid *>(QStringLiteral("Grid3")), 1, 1);
        QTest::mouseClick(selection()->findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);

        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(output()));
        auto *frame = qobject_cast<QMdiSubWindow *>(output()->container());
        QVERIFY(frame && frame->isMaximized());
        QVERIFY(!toolbarEnabled());
        QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Imprimir examen"));
        QVERIFY(selection() && !selection()->isVisible());

        QTest::mouseClick(output()->findChild<QPushButton *>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        QTRY_VERIFY(!output());
        QVERIFY(toolbarEnabled());
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(selection()));
        QCOMPARE(m_main->statusPanelText(3), QStringLiteral("Seleccionar preguntas tipo test"));
        QCOMPARE(selection()->selectedCount(), 1);
        QCOMPARE(ActiveWindowCode, ActiveWindowCodes::kNone);

        // A toolbar click makes the main window active: the window asks to leave.
        MessageBoxResponder responder;
        responder.expect(
            QStringLiteral(
                "¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas"),
            {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}, QStringLiteral("Cancelar"));
        m_main->activateWindow();
        QVERIFY(responder.waitUntilAnswered());
        QVERIFY2(responder.failures().isEmpty(), qPrintable(responder.failures().join(u'\n')));
        QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(selection()));
        QCOMPARE(selection()->selectedCount(), 1);
    }
};

QTEST_MAIN(tst_TrueFalseExamFlow)
#include "tst_TrueFalseExamFlow.moc"
