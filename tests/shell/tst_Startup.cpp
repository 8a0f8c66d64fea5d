// The start-up sequence: the splash window alone, then the main window with
// the splash a second time; each splash goes after its timer or on a click.
#include "Apertura.h"
#include "Fondo.h"
#include "ShellTestHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

namespace {

Apertura *splash()
{
    return Forms::findAs<Apertura>(QStringLiteral("Apertura"));
}

void clickSplash(Apertura *a)
{
    QTest::mouseClick(a, Qt::LeftButton, {}, a->rect().center());
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Shell::registerForms(); }
    void cleanup() { clearForms(); }

    void theSplashWindowIsShownAloneFirst()
    {
        Shell::start();
        Apertura *first = splash();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Inicio"));
        QVERIFY(first->isWindow());
        QVERIFY(!(first->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(Forms::find(QStringLiteral("Orvalis")), nullptr);
        QCOMPARE(Forms::find(QStringLiteral("Fondo")), nullptr);
        QVERIFY(first->Timer1()->isActive());
        QCOMPARE(first->Timer1()->interval(), 3000);
        // Gradient painted at load: dark blue at the top of the window.
        QCOMPARE(first->persistentImage().image().pixelColor(5, 0), QColor(0, 0, 10));
    }

    void afterTheTimerTheMainWindowShowsTheSplashAgain()
    {
        Shell::start();
        QPointer<Apertura> first = splash();
        first->Timer1()->setInterval(30);
        QTRY_VERIFY(Forms::find(QStringLiteral("Orvalis")));
        QTRY_VERIFY(first.isNull());

        QWidget *main = Forms::find(QStringLiteral("Orvalis"));
        QTRY_VERIFY(main->isVisible());
        auto *fondo = Forms::findAs<Fondo>(QStringLiteral("Fondo"));
        QVERIFY(fondo);
        QVERIFY(fondo->isVisible());
        QVERIFY(fondo->isMaximizedForm());
        QCOMPARE(fondo->window(), main);

        Apertura *second = splash();
        QVERIFY(second);
        QVERIFY(second->isVisible());
        QVERIFY(second->Timer1()->isActive());
        QVERIFY(second->isWindow());
        QCOMPARE(second->persistentImage().image().pixelColor(5, 0), QColor(0, 0, 10));

        QPointer<Apertura> watched(second);
        second->Timer1()->setInterval(30);
        QTRY_VERIFY(watched.isNull());
        QCOMPARE(splash(), nullptr);
        QVERIFY(main->isVisible());
        QVERIFY(fondo->isVisible());
        QTRY_COMPARE(Forms::activeForm(), fondo);
    }

    void aClickClosesEachSplashAtOnce()
    {
        Shell::start();
        QPointer<Apertura> first = splash();
        clickSplash(first);
        QWidget *main = Forms::find(QStringLiteral("Orvalis"));
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(first.isNull());
        QPointer<Apertura> second = splash();
        QVERIFY(second);
        QVERIFY(second->isVisible());

        clickSplash(second);
        QCOMPARE(splash(), nullptr);
        QTRY_VERIFY(second.isNull());
        QVERIFY(main->isVisible());
        QVERIFY(Forms::find(QStringLiteral("Fondo"))->isVisible());
    }

    void theProgramKeepsRunningWhileNoWindowIsOpen()
    {
        QApplication::setQuitOnLastWindowClosed(true);
        Shell::start();
        splash()->Timer1()->setInterval(20);
        bool mainWindowUp = false;
        QTimer::singleShot(1000, qApp, [&] {
            QWidget *main = Forms::find(QStringLiteral("Orvalis"));
            mainWindowUp = main && main->isVisible();
            QCoreApplication::exit(7);
        });
        QCOMPARE(QApplication::exec(), 7);
        QVERIFY(mainWindowUp);
    }

    void theSplashShowsItsTitleBlockAndPicture()
    {
        Apertura a;
        for (int i = 1; i <= 6; ++i) {
            auto *label = a.findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
            QVERIFY(label && !label->text().isEmpty());
            QVERIFY(a.rect().contains(label->geometry()));
        }
        QCOMPARE(a.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("MARKETING"));
        auto *image1 = a.findChild<QLabel *>(QStringLiteral("Image1"));
        QVERIFY(image1 && !image1->pixmap().isNull());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
