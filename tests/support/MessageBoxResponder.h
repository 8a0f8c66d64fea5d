#pragma once
// Answers the program's message boxes in GUI tests: each must match the next
// expect() (text, buttons in any order; a text ending in "…" matches any text
// that starts with the rest), be titled "Orvalis" and have no icon;
// then `click` (or kEscape, or kEnter for the box's default button) is pressed. Mismatches and
// unexpected boxes go to failures().

#include <QObject>
#include <QStringList>
#include <QTest>
#include <QTimer>

class MessageBoxResponder : public QObject
{
public:
    static inline const QString kEscape = QStringLiteral("<Esc>");
    static inline const QString kEnter = QStringLiteral("<Enter>");

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
