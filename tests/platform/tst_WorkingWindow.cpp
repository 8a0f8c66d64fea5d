// What the four working windows do alike through their common base: the
// leave rule (asked before something is lost, whatever way the teacher
// leaves), Tab going round the controls in layout order, the window and its
// chapter and topic titles fitting the screen, and the grids taking the room
// a larger window gives.
#include "Exammodi.h"
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "FakeMainWindowServices.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "ScreenFit.h"
#include "Testmodi.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include <optional>

using namespace GuiTest;

namespace {
const QString kLoseSelection =
    QStringLiteral("¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas");
const QString kLeaveTrueFalseEdit =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de tipo test?");
const QString kLeaveExpositionEdit =
    QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de exposición?");
} // namespace

class tst_WorkingWindow : public QObject
{
    Q_OBJECT

    std::optional<TrueFalseBankFixture> m_trueFalse;
    std::optional<ExpositionBankFixture> m_exposition;
    std::unique_ptr<FakeMainWindowServices> m_main;
    QPointer<QWidget> m_window;

    void click(const QString &name)
    {
        QTest::mouseClick(m_window->findChild<QAbstractButton *>(name), Qt::LeftButton);
    }
    void open(const QString &name)
    {
        QVERIFY(name.startsWith(u'T') ? m_trueFalse.emplace().isReady()
                                      : m_exposition.emplace().isReady());
        m_main = std::make_unique<FakeMainWindowServices>();
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
        Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
        ActiveWindowCode = ActiveWindowCodes::kMain;
        m_window = Forms::show(name);
        QVERIFY(m_window);
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
    }

private Q_SLOTS:
    void cleanup()
    {
        Forms::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        closeAllFiles();
        m_trueFalse.reset();
        m_exposition.reset();
        ActiveWindowCode = ActiveWindowCodes::kMain;
    }

    // "Salir", Esc, the close box and another window taking the activation:
    // with something to lose the teacher is asked first, and anything but
    // Aceptar keeps the window as it was. A selection not shown (another
    // kind's) counts; a maintenance window asks at its close box only while
    // editing, and help opened from it is not a leave.
    void leavingAsksBeforeSomethingIsLost_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("something"); // a question chosen, or an edit open
        QTest::addColumn<bool>("helpFirst"); // help opened and closed before leaving
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("closed");
        const QString enter = MessageBoxResponder::kEnter, esc = MessageBoxResponder::kEscape;
        QTest::newRow("Testselec Salir, Cancelar")
            << "Testselec"
            << "Salir" << true << false << "Cancelar" << false;
        QTest::newRow("Testselec Salir, Aceptar") << "Testselec"
                                                  << "Salir" << true << false << "Aceptar" << true;
        QTest::newRow("Testselec Esc, nothing") << "Testselec"
                                                << "Esc" << false << false << "" << true;
        QTest::newRow("Testselec main window, Cancelar")
            << "Testselec"
            << "main window" << true << false << "Cancelar" << false;
        QTest::newRow("Testselec close box, Enter")
            << "Testselec"
            << "close box" << true << false << enter << false;
        QTest::newRow("Testselec close box, nothing")
            << "Testselec"
            << "close box" << false << false << "" << true;
        QTest::newRow("Examselec Esc, hidden kind, Esc") << "Examselec"
                                                         << "Esc" << true << false << esc << false;
        QTest::newRow("Examselec main window, hidden kind, Aceptar")
            << "Examselec"
            << "main window" << true << false << "Aceptar" << true;
        QTest::newRow("Examselec Salir, nothing") << "Examselec"
                                                  << "Salir" << false << false << "" << true;
        QTest::newRow("Testmodi main window, browsing, Cancelar")
            << "Testmodi"
            << "main window" << false << false << "Cancelar" << false;
        QTest::newRow("Testmodi main window after help, Aceptar")
            << "Testmodi"
            << "main window" << false << true << "Aceptar" << true;
        QTest::newRow("Testmodi close box, browsing")
            << "Testmodi"
            << "close box" << false << false << "" << true;
        QTest::newRow("Testmodi close box, editing, Enter")
            << "Testmodi"
            << "close box" << true << false << enter << false;
        QTest::newRow("Testmodi close box, editing, Aceptar")
            << "Testmodi"
            << "close box" << true << false << "Aceptar" << true;
        QTest::newRow("Exammodi main window, editing, Aceptar")
            << "Exammodi"
            << "main window" << true << false << "Aceptar" << true;
        QTest::newRow("Exammodi Esc, browsing") << "Exammodi"
                                                << "Esc" << false << false << "" << true;
    }
    void leavingAsksBeforeSomethingIsLost()
    {
        QFETCH(QString, window);
        QFETCH(QString, how);
        QFETCH(bool, something);
        QFETCH(bool, helpFirst);
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        open(window);
        const bool selection = window.endsWith(u"selec");
        auto *grid3 = m_window->findChild<FlexGrid *>(QStringLiteral("Grid3"));
        if (something && window == u"Examselec") {
            click(QStringLiteral("Option1_2"));
            QVERIFY(doubleClickCell(grid3, 1, 1));
            click(QStringLiteral("Option1_0"));
        } else if (something && selection) {
            QVERIFY(doubleClickCell(grid3, 1, 1));
        } else if (something) {
            QVERIFY(clickCell(grid3, 1, 1));
            click(QStringLiteral("Command1"));
        }
        if (helpFirst) {
            ActiveWindowCode = ActiveWindowCodes::kTrueFalseMaintenance; // as help leaves it
            m_main->window.activateWindow();
            QTRY_COMPARE(Forms::activeForm(), static_cast<QWidget *>(&m_main->window));
            QVERIFY(m_window);
            ActiveWindowCode = ActiveWindowCodes::kNone; // help closed with its button
            m_window->activateWindow();
            QTRY_COMPARE(Forms::activeForm(), m_window.data());
        }
        const QString question = selection               ? kLoseSelection
                                 : window == u"Testmodi" ? kLeaveTrueFalseEdit
                                                         : kLeaveExpositionEdit;
        m_main->helpButtonVisible = false;
        QList<MessageBoxResponder::Box> boxes;
        if (!answer.isEmpty())
            boxes << MessageBoxResponder::question(question, answer);
        QCOMPARE(MessageBoxResponder::answer(boxes,
                                             [&] {
                                                 leave(m_window, &m_main->window, how);
                                                 if (closed)
                                                     QTRY_VERIFY(!m_window);
                                             }),
                 QString());
        if (closed) {
            QVERIFY(!m_window);
            QCOMPARE(OpenFiles::count(), 0);
            QCOMPARE(m_main->statusText, QString());
            QVERIFY(m_main->helpButtonVisible);
            return;
        }
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QVERIFY(!m_main->helpButtonVisible);
        const bool editing = m_window->findChild<QWidget *>(QStringLiteral("Text1")) &&
                             m_window->findChild<QWidget *>(QStringLiteral("Text1"))->isEnabled();
        QCOMPARE(editing, something && !selection);
        if (window == u"Testselec")
            QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
                     QStringLiteral("1"));
        if (window == u"Examselec")
            QCOMPARE(qobject_cast<Examselec *>(m_window)->selectedCount(ExpositionKind::Brief), 1);
    }

    // Tab and Shift+Tab go round in the order the controls lie: rows from
    // top to bottom, left to right, a frame's controls where the frame lies;
    // disabled controls are passed over and a group of options is one stop.
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
        open(window);
        if (!pressedFirst.isEmpty())
            click(pressedFirst);
        m_window->findChild<QWidget *>(order.first())->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(focusName(), order.first());
        for (const Qt::Key tab : {Qt::Key_Tab, Qt::Key_Backtab}) {
            QStringList met;
            for (qsizetype i = 0; i < order.size(); ++i) {
                KeyboardFocus::press(tab);
                met << focusName();
            }
            QStringList expected = order.mid(1) + order.mid(0, 1);
            if (tab == Qt::Key_Backtab)
                std::reverse(expected.begin(), expected.end() - 1);
            QCOMPARE(met, expected);
        }
    }

    // On the screen it runs on, the window lies whole inside the available
    // area, every title fits its list, and room given to the window goes to
    // the grids while the lists and the buttons above stay put.
    void fitsTheScreenAndGivesExtraRoomToTheGrids_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("changes"); // after 100 x 120 pixels more
        QTest::newRow("Testselec")
            << "Testselec" << QStringList{"Grid3", "Grid1", "Command2", "Command3", "List1"}
            << QStringList{"Grid3 0,0 +100,+60", "Grid1 0,60 +100,+60", "Command2 0,120 +0,+0",
                           "Command3 0,0 +0,+0", "List1 0,0 +0,+0"};
        QTest::newRow("Examselec")
            << "Examselec" << QStringList{"Grid3", "Grid1_0", "Command2", "Frame1"}
            << QStringList{"Grid3 0,0 +100,+60", "Grid1_0 0,60 +100,+60", "Command2 0,120 +0,+0",
                           "Frame1 0,0 +0,+0"};
        QTest::newRow("Testmodi") << "Testmodi"
                                  << QStringList{"Grid3", "Frame3", "List2", "Label1_4"}
                                  << QStringList{"Grid3 0,0 +100,+120", "Frame3 0,120 +0,+0",
                                                 "List2 0,0 +0,+0", "Label1_4 0,0 +0,+0"};
        QTest::newRow("Exammodi") << "Exammodi"
                                  << QStringList{"Grid3", "Command1", "Command2", "List1"}
                                  << QStringList{"Grid3 0,0 +100,+120", "Command1 0,120 +0,+0",
                                                 "Command2 0,120 +0,+0", "List1 0,0 +0,+0"};
    }
    void fitsTheScreenAndGivesExtraRoomToTheGrids()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, names);
        QFETCH(QStringList, changes);
        QCOMPARE(ScreenFit::screenMismatch(), QString());
        open(window);
        QTRY_COMPARE(ScreenFit::outsidePlaces(m_window).join(u','), QString());
        QCOMPARE(ScreenFit::overwideTitles(m_window).join(u'\n'), QString());
        auto *working = static_cast<WorkingWindow *>(m_window.data());
        QVERIFY(m_window->minimumSize().width() <= working->designSize().width());
        const QList<QRect> before = ScreenFit::places(m_window, names);
        // The question column of every grid shown takes the extra width.
        const auto questionWidths = [this] {
            QList<int> widths;
            for (const FlexGrid *grid : m_window->findChildren<FlexGrid *>())
                if (grid->isVisible())
                    widths << grid->view()->columnWidth(0);
            return widths;
        };
        QList<int> wider = questionWidths();
        for (int &width : wider)
            width += 100;
        m_window->resize(m_window->size() + QSize(100, 120));
        QTRY_COMPARE(ScreenFit::placeChanges(m_window, names, before), changes);
        QCOMPARE(questionWidths(), wider);
    }

    // Every caption is whole, in the window's font, and no control inside a
    // frame lies over the frame's caption or border.
    void captionsAreWholeInTheWindowFontAndInsideTheirFrames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("Examselec") << "Examselec";
        QTest::newRow("Testmodi") << "Testmodi";
        QTest::newRow("Exammodi") << "Exammodi";
    }
    void captionsAreWholeInTheWindowFontAndInsideTheirFrames()
    {
        QFETCH(QString, window);
        open(window);
        QStringList wrong;
        for (const QWidget *control : m_window->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<const QLabel *>(control);
            const bool caption = qobject_cast<const QAbstractButton *>(control) ||
                                 qobject_cast<const QGroupBox *>(control) || label;
            if (!caption || control->objectName().isEmpty())
                continue;
            if (QFontInfo(control->font()).pointSizeF() != QFontInfo(m_window->font()).pointSizeF())
                wrong << control->objectName() + " font";
            if (!(label && label->wordWrap()) && !qobject_cast<const QGroupBox *>(control) &&
                control->sizeHint().width() > control->width())
                wrong << control->objectName() + " cut";
            if (const auto *frame = qobject_cast<const QGroupBox *>(control->parentWidget());
                frame && !frame->contentsRect().contains(control->geometry()))
                wrong << control->objectName() + " over its frame";
        }
        QCOMPARE(wrong.join(u','), QString());
    }

    // A coloured button that cannot be pressed looks so: a paler face and a
    // grey caption ("Actualizar" while browsing), full colour once editing.
    void aDisabledColouredButtonLooksDisabled_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<bool>("blackCaption");
        QTest::newRow("browsing") << false << QColor(255, 191, 191) << false;
        QTest::newRow("editing") << true << QColor(255, 128, 128) << true;
    }
    void aDisabledColouredButtonLooksDisabled()
    {
        QFETCH(bool, editing);
        QFETCH(QColor, face);
        QFETCH(bool, blackCaption);
        open(QStringLiteral("Testmodi"));
        if (editing)
            click(QStringLiteral("Command4"));
        const QImage shot =
            m_window->findChild<QWidget *>(QStringLiteral("Command5"))->grab().toImage();
        QCOMPARE(shot.pixelColor(4, 4), face);
        int darkest = 255;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                darkest = qMin(darkest, qGray(shot.pixel(x, y)));
        QCOMPARE(darkest < 64, blackCaption);
    }
};

QTEST_MAIN(tst_WorkingWindow)
#include "tst_WorkingWindow.moc"
