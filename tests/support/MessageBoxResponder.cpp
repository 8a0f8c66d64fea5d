#include "MessageBoxResponder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

MessageBoxResponder::MessageBoxResponder(QObject *parent) : QObject(parent)
{
    // The timer fires inside the box's own event loop too.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        m_seenTexts.append(box->text());
        QStringList want = m_expected.isEmpty() ? QStringList{kEscape, QStringLiteral("(none)")}
                                                : m_expected.takeFirst();
        const QString click = want.takeFirst();
        QStringList got{box->text()};
        for (QAbstractButton *b : box->buttons())
            got.append(b->text());
        // An expected text ending in "…" is a prefix: the rest is a reason
        // that depends on the system.
        if (want.first().endsWith(u'…') && got.first().startsWith(want.first().chopped(1)))
            got.first() = want.first();
        std::sort(got.begin() + 1, got.end());
        std::sort(want.begin() + 1, want.end());
        got << box->windowTitle() << QString::number(box->icon());
        want << QStringLiteral("Orvalis") << QString::number(QMessageBox::NoIcon);
        if (got != want)
            m_failures.append(
                QStringLiteral("box %1, expected %2").arg(got.join(u'|'), want.join(u'|')));
        if (click == kEnter)
            return QTest::keyClick(box, Qt::Key_Return);
        for (QAbstractButton *b : box->buttons())
            if (b->text() == click)
                return b->click();
        if (click != kEscape)
            m_failures.append(QStringLiteral("no button %1 in %2").arg(click, box->text()));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    m_timer.start(20);
}

QString MessageBoxResponder::answer(const QList<Box> &boxes, const std::function<void()> &action)
{
    MessageBoxResponder responder;
    for (const Box &box : boxes)
        responder.expect(box.text, box.buttons, box.click);
    action();
    QStringList wrong;
    if (!responder.waitUntilAnswered())
        wrong << QStringLiteral("%1 box(es) not shown; seen: %2")
                     .arg(responder.pending())
                     .arg(responder.seenTexts().join(u'|'));
    return (wrong + responder.failures()).join(u'\n');
}
