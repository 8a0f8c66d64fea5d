#pragma once
// Answers the program's message boxes in GUI tests: each must match the next
// expect() (text, buttons in any order; a text ending in "…" matches any text
// that starts with the rest), be titled "Orvalis" and have no icon;
// then `click` (or kEscape, or kEnter for the box's default button) is pressed. Mismatches and
// unexpected boxes go to failures(). answer() does the same around one
// action and hands back what went wrong.

#include <QObject>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

class MessageBoxResponder : public QObject
{
public:
    static inline const QString kEscape = QStringLiteral("<Esc>");
    static inline const QString kEnter = QStringLiteral("<Enter>");

    // A box expected next: its text, its buttons, the one pressed.
    struct Box
    {
        QString text;
        QStringList buttons;
        QString click;
    };
    static Box notice(const QString &text, const QString &click = QStringLiteral("Aceptar"))
    {
        return {text, {QStringLiteral("Aceptar")}, click};
    }
    static Box question(const QString &text, const QString &click)
    {
        return {text, {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}, click};
    }
    // Runs `action` and answers `boxes` as they come; empty when each came in
    // turn as expected and no other box was shown, else what went wrong.
    static QString answer(const QList<Box> &boxes, const std::function<void()> &action);

    explicit MessageBoxResponder(QObject *parent = nullptr);
    void expect(const QString &text, const QStringList &buttons, const QString &click)
    {
        m_expected.append(QStringList{click, text} + buttons);
    }
    int seen() const { return m_seenTexts.size(); }
    QStringList seenTexts() const { return m_seenTexts; }
    QStringList failures() const { return m_failures; }
    int pending() const { return m_expected.size(); }
    bool waitUntilAnswered(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this] { return m_expected.isEmpty(); }, timeoutMs);
    }

private:
    QTimer m_timer;
    QList<QStringList> m_expected; // click, text, buttons
    QStringList m_seenTexts;
    QStringList m_failures;
};
