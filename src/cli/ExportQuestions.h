#pragma once
// The questions an export carries, taken from the bank files as the
// program's windows list them: each kind in turn, by chapter and topic, in
// index order. A record that no list shows, whose text is empty or, for a
// true/false question, whose answer is neither 0 nor 1, is left out, and every record left out is
// named with the reason, so an export never loses a question silently.

#include "BankSnapshot.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ExportQuestion
{
    QuestionKind kind = QuestionKind::TrueFalse;
    qint32 record = 0;
    int chapter = 0;
    int topic = 0;       // true/false only
    bool answer = false; // true/false only: true for Sí, as the program shows it
    QString text;        // display text
    // Set for a question that is not filed by its place in the bank (an
    // exam's): the category and name it is exported under.
    QStringList category;
    QString name;

    bool operator==(const ExportQuestion &) const = default;
};

struct ExportSkip
{
    QString fileName;  // the bank file, "QELMEXT2.DAT", ...; or "examen 3"
    qint32 record = 0; // 0 for a question of an exam
    QString reason;    // Spanish

    // "QELMEXT2.DAT, registro 17: reason"; "examen 3: reason".
    QString toString() const;
};

struct ExportSet
{
    QList<ExportQuestion> questions;
    QList<ExportSkip> skipped;

    void append(const ExportSet &other);
};

namespace exportQuestions {

// The questions of one bank file; chapter 0 takes every chapter.
ExportSet collect(const BankSnapshot &snapshot, int chapter = 0);

// The category an exported question is filed under, outermost first (its
// own `category` when set): "Orvalis", the kind's caption, "Capítulo 04. La
// demanda" and, for a true/false question, "Tema 4. Elaboración de modelos de
// demanda".
QStringList categoryPath(const ExportQuestion &question);
// The category path as Moodle reads it, in its XML and in GIFT alike:
// "$course$/top/" and the names joined by '/', a '/' inside a name doubled.
QString categoryText(const QStringList &path);
// "Capítulo 4, tema 2, registro 12"; "Conceptual, capítulo 4, registro 3";
// its own `name` when set.
QString questionName(const ExportQuestion &question);

} // namespace exportQuestions
