// Tab and Shift+Tab go round each working window's controls in the order in
// which they lie: rows from top to bottom, left to right within a row, the
// controls of a frame where the frame lies; disabled controls are passed over,
// and a group of options is one stop.
#include "Exammodi.h"
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "FakeMainWindowServices.h"
#include "Forms.h"
#include "KeyboardFocus.h"
#include "OpenFiles.h"
#include "ProgramState.h"
#include "Testmodi.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

using KeyboardFocus::focusName;
using KeyboardFocus::press;

class tst_TabOrder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TrueFalseBankFixture> m_trueFalse;
    std::unique_ptr<ExpositionBankFixture> m_exposition;
    std::unique_ptr<FakeMainWindowServices> m_main;

    // The focus names met by pressing `key` `count` times, the first included.
    static QStringList round(Qt::Key key, qsizetype count)
    {
        QStringList met{focusName()};
        for (qsizetype i = 0; i < count; ++i) {
            press(key);
            met << focusName();
        }
        return met;
    }

private Q_SLOTS:
    void init()
    {
        m_main = std::make_unique<FakeMainWindowServices>();
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
        Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
    }
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        closeAllFiles();
        m_trueFalse.reset();
        m_exposition.reset();
    }

    void tabGoesRoundInLayoutOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("pressedFirst"); // a button pressed before, if any
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Testselec")
            << "Testselec" << QString() << QStringList{"List1", "List2",    "Command3", "Grid3",
                                                       "Grid1", "Command1", "Command5", "Command2"};
        QTest::newRow("Examselec")
            << "Examselec" << QString() << QStringList{"Option1_0", "List1",    "Command3", "Grid3",
                                                       "Grid1_0",   "Command1", "Command2"};
        QTest::newRow("Testmodi browsing")
            << "Testmodi" << QString()
            << QStringList{"List1",    "Command7", "List2",    "Grid3",
                           "Command4", "Command1", "Command3", "Command2"};
        QTest::newRow("Testmodi adding")
            << "Testmodi"
            << "Command4" << QStringList{"Text1", "Option1_0", "Command5", "Command6", "Command2",
                                         "List1", "Command7",  "List2",    "Grid3"};
        QTest::newRow("Exammodi browsing")
            << "Exammodi" << QString()
            << QStringList{"Option1_0", "List1",    "Command7", "Grid3",
                           "Command4",  "Command1", "Command3", "Command2"};
        QTest::newRow("Exammodi adding")
            << "Exammodi"
            << "Command4" << QStringList{"Text1",     "Command5", "Command6", "Command2",
                                         "Option1_0", "List1",    "Command7", "Grid3"};
    }
    void tabGoesRoundInLayoutOrder()
    {
        QFETCH(QString, window);
        QFETCH(QString, pressedFirst);
        QFETCH(QStringList, order);
        if (window.startsWith(u'T'))
            m_trueFalse = std::make_unique<TrueFalseBankFixture>();
        else
            m_exposition = std::make_unique<ExpositionBankFixture>();
        ActiveWindowCode = ActiveWindowCodes::kMain;
        QWidget *shown = Forms::show(window);
        QVERIFY(shown && QTest::qWaitForWindowActive(shown));
        QTRY_COMPARE(Forms::activeForm(), shown);
        if (!pressedFirst.isEmpty())
            QTest::mouseClick(shown->findChild<QPushButton *>(pressedFirst), Qt::LeftButton);
        shown->findChild<QWidget *>(order.first())->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(focusName(), order.first());

        QCOMPARE(round(Qt::Key_Tab, order.size()), order + QStringList{order.first()});
        QStringList backwards = order;
        std::reverse(backwards.begin(), backwards.end());
        backwards.prepend(order.first());
        QCOMPARE(round(Qt::Key_Backtab, order.size()), backwards);
    }
};

QTEST_MAIN(tst_TabOrder)
#include "tst_TabOrder.moc"
