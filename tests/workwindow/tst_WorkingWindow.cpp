// The leave rule the four working windows share through their common base:
// whatever way the teacher leaves (Salir, Esc, the close box, another window
// taking the activation) he is asked first when something would be lost, and
// anything but Aceptar keeps the window as it was.
#include "Exammodi.h"
#include "Examselec.h"
#include "ExpositionBankFixture.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "Testmodi.h"
#include "Testselec.h"
#include "TrueFalseBankFixture.h"

#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QtTest>

#include <optional>

using namespace GuiTest;

class tst_WorkingWindow : public QObject
{
    Q_OBJECT

    std::optional<GuiFixture<TrueFalseBankFixture>> m_trueFalse;
    std::optional<GuiFixture<ExpositionBankFixture>> m_exposition;
    FakeMainWindowServices *m_main = nullptr;
    QPointer<QWidget> m_window;

    void open(const QString &name)
    {
        Forms::registerForm(Testselec::kName, [] { return new Testselec; });
        Forms::registerForm(Examselec::kName, [] { return new Examselec; });
        Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
        Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
        if (name.startsWith(u'T')) {
            QVERIFY(m_trueFalse.emplace().setUp());
            m_main = m_trueFalse->main.get();
            m_window = m_trueFalse->open<QWidget>(name);
        } else {
            QVERIFY(m_exposition.emplace().setUp());
            m_main = m_exposition->main.get();
            m_window = m_exposition->open<QWidget>(name);
        }
        QVERIFY(m_window);
    }

private Q_SLOTS:
    void cleanup()
    {
        if (m_trueFalse)
            m_trueFalse->tearDown();
        if (m_exposition)
            m_exposition->tearDown();
        m_trueFalse.reset();
        m_exposition.reset();
    }

    // A selection not shown (another kind's) counts; a maintenance window asks
    // at its close box only while editing.
    void leavingAsksBeforeSomethingIsLost_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("something"); // a question chosen, or an edit open
        QTest::addColumn<QString>("answer"); // empty: no question expected
        const QString enter = MessageBoxResponder::kEnter, esc = MessageBoxResponder::kEscape;
        // clang-format off
        QTest::newRow("Testselec Salir, Cancelar") << "Testselec" << "Salir" << true << "Cancelar";
        QTest::newRow("Testselec Salir, Aceptar") << "Testselec" << "Salir" << true << "Aceptar";
        QTest::newRow("Testselec Esc, nothing") << "Testselec" << "Esc" << false << "";
        QTest::newRow("Testselec close box, Enter") << "Testselec" << "close box" << true << enter;
        QTest::newRow("Examselec Esc, hidden kind, Esc") << "Examselec" << "Esc" << true << esc;
        QTest::newRow("Examselec main window, hidden kind, Aceptar") << "Examselec" << "main window" << true << "Aceptar";
        QTest::newRow("Testmodi main window, browsing, Cancelar") << "Testmodi" << "main window" << false << "Cancelar";
        QTest::newRow("Testmodi close box, browsing") << "Testmodi" << "close box" << false << "";
        QTest::newRow("Testmodi close box, editing, Enter") << "Testmodi" << "close box" << true << enter;
        QTest::newRow("Exammodi main window, editing, Aceptar") << "Exammodi" << "main window" << true << "Aceptar";
        QTest::newRow("Exammodi Esc, browsing") << "Exammodi" << "Esc" << false << "";
        // clang-format on
    }
    void leavingAsksBeforeSomethingIsLost()
    {
        QFETCH(QString, window);
        QFETCH(QString, how);
        QFETCH(bool, something);
        QFETCH(QString, answer);
        open(window);
        const bool selection = window.endsWith(u"selec");
        auto *grid3 = m_window->findChild<FlexGrid *>(QStringLiteral("Grid3"));
        if (something && window == u"Examselec")
            click(m_window, QStringLiteral("Option1_2"));
        if (something)
            QVERIFY(clickCell(grid3, 1, 1, selection));
        if (something && window == u"Examselec")
            click(m_window, QStringLiteral("Option1_0"));
        else if (something && !selection)
            click(m_window, QStringLiteral("Command1"));
        const QString question =
            selection
                ? "¿Seguro que quiere salir? Se borrarán todas las preguntas seleccionadas"
                : QStringLiteral("¿Seguro que quiere salir de actualización de preguntas de %1?")
                      .arg(window == u"Testmodi" ? "tipo test" : "exposición");
        const bool closed = answer.isEmpty() || answer == u"Aceptar";
        m_main->helpButtonVisible = false;
        QList<MessageBoxResponder::Box> boxes;
        if (!answer.isEmpty())
            boxes << MessageBoxResponder::question(question, answer);
        QCOMPARE(MessageBoxResponder::answer(boxes,
                                             [&] {
                                                 if (how == u"Salir")
                                                     click(m_window, QStringLiteral("Command2"));
                                                 else if (how == u"Esc")
                                                     key(Qt::Key_Escape);
                                                 else if (how == u"main window")
                                                     m_main->window.activateWindow();
                                                 else
                                                     m_window->close();
                                                 if (closed)
                                                     QTRY_VERIFY(!m_window);
                                             }),
                 QString());
        if (closed) {
            QCOMPARE(OpenFiles::count(), 0);
            QCOMPARE(m_main->statusText, QString());
            QVERIFY(m_main->helpButtonVisible);
            return;
        }
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        QVERIFY(!m_main->helpButtonVisible);
        auto *text1 = m_window->findChild<QWidget *>(QStringLiteral("Text1"));
        QCOMPARE(text1 && text1->isEnabled(), something && !selection);
        if (window == u"Testselec")
            QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
                     QStringLiteral("1"));
        if (window == u"Examselec")
            QCOMPARE(qobject_cast<Examselec *>(m_window)->selectedCount(ExpositionKind::Brief), 1);
    }

    // Enlarged, a window gives the width its grids gain to their question column.
    void theQuestionColumnTakesTheExtraWidth()
    {
        open(QStringLiteral("Examselec"));
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
        QTRY_COMPARE(questionWidths(), wider);
    }

    // "Actualizar" cannot be pressed while browsing: a paler face, a grey caption.
    void aDisabledColouredButtonLooksDisabled_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QColor>("face");
        QTest::newRow("browsing") << false << QColor(255, 191, 191);
        QTest::newRow("editing") << true << QColor(255, 128, 128);
    }
    void aDisabledColouredButtonLooksDisabled()
    {
        QFETCH(bool, editing);
        QFETCH(QColor, face);
        open(QStringLiteral("Testmodi"));
        if (editing)
            click(m_window, QStringLiteral("Command4"));
        const QImage shot = m_window->findChild<QWidget *>("Command5")->grab().toImage();
        QCOMPARE(shot.pixelColor(4, 4), face);
        int darkest = 255;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                darkest = qMin(darkest, qGray(shot.pixel(x, y)));
        QCOMPARE(darkest < 64, editing); // a black caption only when it can be pressed
    }
};

QTEST_MAIN(tst_WorkingWindow)
#include "tst_WorkingWindow.moc"
