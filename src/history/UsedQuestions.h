#pragma once
// Which questions earlier exams used, and when: what the selection windows
// mark in their listings and what a draw may leave out. A question is known
// by its kind and its text, as records carry no identity of their own and
// are renumbered by deletions; the text is compared without the blanks
// around it.

#include "QuestionKind.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

struct QuestionUse
{
    QString title;
    QDateTime madeAt;
};

class UsedQuestions
{
public:
    // Uses may come in any order; each question keeps them latest first.
    void add(QuestionKind kind, const QString &text, const QuestionUse &use);
    // Latest first; empty for a question no exam used.
    QList<QuestionUse> uses(QuestionKind kind, const QString &text) const;
    // True when an exam made at or after `since` used it.
    bool usedSince(QuestionKind kind, const QString &text, const QDateTime &since) const;
    bool isEmpty() const { return m_uses.isEmpty(); }

    // "Usada en: <título> (<fecha>), …" naming the latest three exams, and
    // how many more there are.
    static QString toolTip(const QList<QuestionUse> &uses);

private:
    static QString key(QuestionKind kind, const QString &text);
    QHash<QString, QList<QuestionUse>> m_uses;
};
