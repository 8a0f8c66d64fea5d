// The leave rule the four working windows share through their common base:
// whatever way the teacher leaves (Salir through its key Esc, the close box,
// another window taking the activation) he is asked first when something
// would be lost, and anything but Aceptar keeps the window as it was.
#include "BankFolders.h"
#include "Exammodi.h"
#include "Examselec.h"
#include "GuiFixture.h"
#include "MessageBoxResponder.h"
#include "TestFiles.h"
#include "Testmodi.h"
#include "Testselec.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QtTest>

using namespace GuiTest;

class tst_WorkingWindow : public QObject
{
    Q_OBJECT

    // The exposition bank, and one true/false question in chapter 1 topic 1.
    GuiFixture<ExpositionBankFixture> m_gui;
    QPointer<QWidget> m_window;

    void open(const QString &name)
    {
        registerWindows<Testselec, Examselec, Testmodi, Exammodi>();
        QVERIFY(m_gui.setUp() && testFiles::writeFile(m_gui.bank->filePath("QELMEXT2.DAT"),
                                                      bankBytes::trueFalse(1, 1, "Primera", 1)));
        QVERIFY(m_window = m_gui.open<QWidget>(name));
    }

private Q_SLOTS:
    void cleanup() { m_gui.tearDown(); }

    // Every caption is whole and in the window's font, lies over no other
    // caption, and inside a frame over neither the frame's caption nor its
    // border; a selection window's numbers hold their marks (run on each
    // screen).
    void captionsAreWholeAndInsideTheirFrames_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name : {"Testselec", "Examselec", "Testmodi", "Exammodi"})
            QTest::newRow(name) << name;
    }
    void captionsAreWholeAndInsideTheirFrames()
    {
        QFETCH(QString, window);
        open(window);
        QStringList wrong;
        QList<const QWidget *> placed;
        const qreal points = QFontInfo(m_window->font()).pointSizeF();
        for (const QWidget *control : m_window->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<const QLabel *>(control);
            const auto *frame = qobject_cast<const QGroupBox *>(control->parentWidget());
            if (control->objectName().isEmpty() ||
                !(label || qobject_cast<const QAbstractButton *>(control)))
                continue;
            if (QFontInfo(control->font()).pointSizeF() != points)
                wrong << control->objectName() + " font";
            if (label && label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                                           : control->sizeHint().width() > control->width())
                wrong << control->objectName() + " cut";
            if (frame && !frame->contentsRect().contains(control->geometry()))
                wrong << control->objectName() + " over its frame";
            for (const QWidget *other : placed)
                if (other->parentWidget() == control->parentWidget() &&
                    other->geometry().intersects(control->geometry()))
                    wrong << control->objectName() + " over " + other->objectName();
            placed << control;
        }
        // A listed number holds its widest mark whole inside the section's
        // padding and border (2 + 2 + 1 pixels).
        if (const QHeaderView *numbers =
                m_window->findChild<FlexGrid *>("Grid3")->view()->verticalHeader();
            window.endsWith(u"selec") &&
            numbers->fontMetrics().horizontalAdvance("26•!") > numbers->width() - 5)
            wrong << "Grid3 number column";
        // Opened over the middle of the program's window, when that is on
        // the screen whole.
        const QRect main = m_gui.main->window.frameGeometry();
        if (m_window->screen()->availableGeometry().contains(main) &&
            (m_window->frameGeometry().center() - main.center()).manhattanLength() > 16)
            wrong << "not over the middle of the main window";
        QCOMPARE(wrong.join(u','), QString());
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
        QTest::newRow("Testselec Esc, nothing") << "Testselec" << "Esc" << false << "";
        QTest::newRow("Examselec Esc, hidden kind, Esc") << "Examselec" << "Esc" << true << esc;
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
        if (something && window == u"Examselec")
            click(m_window, QStringLiteral("Option1_2"));
        if (something)
            QVERIFY(clickCell(m_window->findChild<FlexGrid *>("Grid3"), 1, 1, selection));
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
        m_gui.main->helpButtonVisible = false;
        QList<MessageBoxResponder::Box> boxes;
        if (!answer.isEmpty())
            boxes << MessageBoxResponder::question(question, answer);
        const auto leave = [&] {
            if (how == u"Esc") // clicks Salir
                key(Qt::Key_Escape);
            else if (how == u"main window")
                m_gui.main->window.activateWindow();
            else
                m_window->close();
            if (closed)
                QTRY_VERIFY(!m_window);
        };
        QCOMPARE(MessageBoxResponder::answer(boxes, leave), QString());
        if (closed) {
            QCOMPARE(OpenFiles::count(), 0);
            QCOMPARE(m_gui.main->statusText, QString());
            QVERIFY(m_gui.main->helpButtonVisible);
            return;
        }
        QTRY_COMPARE(Forms::activeForm(), m_window.data());
        // Active again, the window gives the keyboard to its first list.
        if (how == u"main window")
            QTRY_COMPARE(focusName(), QStringLiteral("List1"));
        QVERIFY(!m_gui.main->helpButtonVisible);
        auto *text1 = m_window->findChild<QWidget *>(QStringLiteral("Text1"));
        QCOMPARE(text1 && text1->isEnabled(), something && !selection);
        if (window == u"Examselec")
            QCOMPARE(qobject_cast<Examselec *>(m_window)->selectedCount(ExpositionKind::Brief), 1);
    }

    // Enlarged, a window gives the width its grids gain to their question
    // column, and shares the height they gain out among them all.
    void theQuestionColumnTakesTheExtraWidth()
    {
        open(QStringLiteral("Examselec"));
        // Each grid shown: its question column's width, and its height.
        const auto sizes = [this] {
            QList<QSize> found;
            for (const FlexGrid *grid : m_window->findChildren<FlexGrid *>())
                if (grid->isVisible())
                    found << QSize(grid->view()->columnWidth(0), grid->height());
            return found;
        };
        const QList<QSize> before = sizes();
        m_window->resize(m_window->size() + QSize(100, 120));
        QTRY_COMPARE(sizes().first().width(), before.first().width() + 100);
        const QList<QSize> after = sizes();
        QCOMPARE(after.size(), before.size());
        for (qsizetype i = 0; i < after.size(); ++i)
            QVERIFY(after[i].width() == before[i].width() + 100 &&
                    after[i].height() > before[i].height());
    }

    // "Actualizar" cannot be pressed while browsing: a paler face, a grey
    // caption; a black caption once it can.
    void aDisabledColouredButtonLooksDisabled()
    {
        open(QStringLiteral("Testmodi"));
        QList<QColor> faces;
        for (bool editing : {false, true}) {
            if (editing)
                click(m_window, QStringLiteral("Command4"));
            const QImage shot = m_window->findChild<QWidget *>("Command5")->grab().toImage();
            faces << shot.pixelColor(4, 4);
            int darkest = 255;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    darkest = qMin(darkest, qGray(shot.pixel(x, y)));
            QCOMPARE(darkest < 64, editing);
        }
        QCOMPARE(faces, (QList<QColor>{QColor(255, 191, 191), QColor(255, 128, 128)}));
    }
};

QTEST_MAIN(tst_WorkingWindow)
#include "tst_WorkingWindow.moc"
