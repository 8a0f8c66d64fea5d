#pragma once
// The two texts composed from a true/false selection: the examination, where
// every question is preceded by empty "Sí" and "No" boxes, and the answer
// template, where the correct box is marked. Lines end in CR LF.

#include <QList>
#include <QString>
#include <QStringList>

struct SelectedQuestion
{
    QString text;        // the question's display text
    QString answerLabel; // "Sí" or "No"
};

// The heading, an empty line, then one line per question in the given order.
QString composeExamText(const QStringList &questionTexts);
// As the examination, with the box of the correct answer marked by "•"
// (U+2022); any label other than exactly "Sí" marks "No".
QString composeAnswerTemplate(const QList<SelectedQuestion> &questions);
