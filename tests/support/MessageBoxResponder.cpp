#include "MessageBoxResponder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

QString MessageBoxResponder::answer(QList<Box> expected, const std::function<void()> &action)
{
    QStringList failures;
    QTimer timer; // it fires inside the box's own event loop too
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        const Box want = expected.isEmpty() ? Box{"(none)", {}, kEscape} : expected.takeFirst();
        QStringList got{box->text()}, wanted = QStringList{want.text} + want.buttons;
        for (QAbstractButton *b : box->buttons())
            got.append(b->text());
        if (want.text.endsWith(u'…') && got.first().startsWith(want.text.chopped(1)))
            got.first() = want.text;
        std::sort(got.begin() + 1, got.end());
        std::sort(wanted.begin() + 1, wanted.end());
        got << box->windowTitle() << QString::number(box->icon());
        wanted << QStringLiteral("Orvalis") << QString::number(QMessageBox::NoIcon);
        if (got != wanted)
            failures.append(got.join(u'|') + QStringLiteral(", expected ") + wanted.join(u'|'));
        if (want.click == kEnter)
            return QTest::keyClick(box, Qt::Key_Return);
        for (QAbstractButton *b : box->buttons())
            if (b->text() == want.click)
                return b->click();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    timer.start(20);
    action();
    if (!QTest::qWaitFor([&] { return expected.isEmpty(); }, 5000))
        failures.prepend(QStringLiteral("%1 box(es) not shown").arg(expected.size()));
    QTest::qWait(50); // a box shown late is caught too
    return failures.join(u'\n');
}
