#include "MessageBoxResponder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

MessageBoxResponder::MessageBoxResponder(QObject *parent) : QObject(parent)
{
    // A timer fires inside the box's own event loop too.
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
    m_timer.start();
}

MessageBoxResponder::~MessageBoxResponder() = default;

void MessageBoxResponder::expect(const QString &text, const QStringList &buttons,
                                 const QString &click)
{
    m_expected.append({text, buttons, click});
}

bool MessageBoxResponder::waitUntilAnswered(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_expected.isEmpty(); }, timeoutMs);
}

void MessageBoxResponder::poll()
{
    if (m_answering)
        return;
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("orvalisAnswered").toBool())
        return;
    m_answering = true;
    answer(box);
    m_answering = false;
}

void MessageBoxResponder::answer(QMessageBox *box)
{
    box->setProperty("orvalisAnswered", true);
    const QString text = box->text();
    m_seenTexts.append(text);

    QStringList captions;
    const QList<QAbstractButton *> buttons = box->buttons();
    for (QAbstractButton *b : buttons)
        captions.append(b->text());

    QString click = kEscape;
    if (m_expected.isEmpty()) {
        m_failures.append(QStringLiteral("unexpected box: \"%1\"").arg(text));
    } else {
        const Expectation e = m_expected.takeFirst();
        click = e.click;
        if (text != e.text)
            m_failures.append(QStringLiteral("text \"%1\", expected \"%2\"").arg(text, e.text));
        QStringList got = captions;
        QStringList want = e.buttons;
        got.sort();
        want.sort();
        if (got != want)
            m_failures.append(QStringLiteral("buttons [%1], expected [%2] in \"%3\"")
                                  .arg(captions.join(u','), e.buttons.join(u','), text));
    }
    if (box->windowTitle() != QStringLiteral("Orvalis"))
        m_failures.append(QStringLiteral("title \"%1\" in \"%2\"").arg(box->windowTitle(), text));
    if (box->icon() != QMessageBox::NoIcon)
        m_failures.append(QStringLiteral("an icon in \"%1\"").arg(text));

    if (click == kEscape) {
        QTest::keyClick(box, Qt::Key_Escape);
        return;
    }
    for (QAbstractButton *b : buttons) {
        if (b->text() == click) {
            b->click();
            return;
        }
    }
    m_failures.append(QStringLiteral("no button \"%1\" in \"%2\"").arg(click, text));
    QTest::keyClick(box, Qt::Key_Escape);
}
