#pragma once
// Answers the program's modal message boxes in GUI tests. Queue the boxes a
// step is expected to open, then run the step: the responder waits for
// QApplication::activeModalWidget(), checks the box's title ("Orvalis"), icon
// (none), text and button captions against the next expectation, and clicks
// the requested button. A box nobody expected is recorded as a failure and
// answered with its escape button, so a test never hangs on it.
//
//   MessageBoxResponder r;
//   r.expect("¿Seguro que quiere salir? ", {"Aceptar", "Cancelar"}, "Cancelar");
//   QTest::mouseClick(button, Qt::LeftButton);
//   QVERIFY2(r.failures().isEmpty(), qPrintable(r.failures().join('\n')));
//   QCOMPARE(r.seen(), 1);

#include <QObject>
#include <QStringList>
#include <QTimer>

class QMessageBox;

class MessageBoxResponder : public QObject
{
public:
    // Passed as `click`: answer with the Esc key instead of a click.
    static inline const QString kEscape = QStringLiteral("<Esc>");

    explicit MessageBoxResponder(QObject *parent = nullptr);
    ~MessageBoxResponder() override;

    // The next box must show `text` with exactly these button captions (in
    // any order); `click` names the button to press, or kEscape.
    void expect(const QString &text, const QStringList &buttons, const QString &click);

    // Boxes answered so far, expected or not.
    int seen() const { return m_seenTexts.size(); }
    QStringList seenTexts() const { return m_seenTexts; }
    // Mismatches and unexpected boxes, one line each.
    QStringList failures() const { return m_failures; }
    // Expectations not met yet.
    int pending() const { return m_expected.size(); }
    // Spins the event loop until every expectation is met or the timeout ends.
    bool waitUntilAnswered(int timeoutMs = 5000);

private:
    struct Expectation
    {
        QString text;
        QStringList buttons;
        QString click;
    };

    void poll();
    void answer(QMessageBox *box);

    QTimer m_timer;
    QList<Expectation> m_expected;
    QStringList m_seenTexts;
    QStringList m_failures;
    bool m_answering = false;
};
