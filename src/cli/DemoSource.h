#pragma once
// One source file of questions in the demo bank's text form: readable UTF-8,
// one question a line ("chapter|topic|S or N|text" for true/false questions,
// "chapter|text" for the three exposition kinds), '#' comment lines and blank
// lines allowed. The demo bank is written in it, and orvalis-banco imports and
// exports it. Parsing checks every line against what the bank can hold and the
// catalogue knows, optionally on top of the questions a bank file already
// holds, and names the file and line of each line that does not fit (in
// Spanish), so that a bad question is caught before anything is written.

#include "QuestionKind.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

struct DemoQuestion
{
    int line = 0; // 1-based line of the source file
    qint16 chapter = 0;
    qint16 topic = 0;  // true/false questions only
    qint16 answer = 0; // true/false questions only: 1 = Sí, 0 = No
    QString text;
};

// The questions a bank file already holds, as far as new lines care: their
// texts by chapter and topic (a line repeating one is refused) and how many the
// index lists under each, so that the limits count the old and the new alike.
class HeldQuestions
{
public:
    // topic is 0 for exposition questions.
    void addText(int chapter, int topic, const QString &text, qint32 recordNumber);
    void setListed(int chapter, int topic, int count);
    void setRecordCount(qint32 records) { m_records = records; }

    // The record holding the text under the chapter and topic, or 0.
    qint32 recordOf(int chapter, int topic, const QString &text) const;
    int listed(int chapter, int topic) const { return m_listed.value(place(chapter, topic)); }
    qint32 recordCount() const { return m_records; }

    struct Text
    {
        int chapter = 0;
        int topic = 0;
        QString text;
        qint32 recordNumber = 0;
    };
    // Every text added, in the order added.
    const QList<Text> &texts() const { return m_texts; }

    // One number per chapter and topic (topic 0 for exposition questions).
    static int place(int chapter, int topic) { return chapter * 100 + topic; }

private:
    QHash<QString, qint32> m_recordOfText; // place, '|', text
    QList<Text> m_texts;
    QHash<int, int> m_listed;
    qint32 m_records = 0;
};

struct DemoSourceProblem
{
    QString file;
    int line = 0; // 0 when the problem is the file as a whole
    QString message;

    // "file:line: message", the form editors and build logs recognise.
    QString toString() const;
};

class DemoSource
{
public:
    // "verdadero_falso.txt", "conceptuales.txt", "practicas.txt", "breves.txt".
    static QString fileName(QuestionKind kind);
    // Width of the bank field the kind's texts go into: 250, 500, 1000, 150.
    static int textWidth(QuestionKind kind);

    // Parses `content`; `path` only names the file in problems. `held` are the
    // questions of the bank file the lines are meant for.
    static DemoSource parse(QuestionKind kind, const QString &path, QByteArrayView content,
                            const HeldQuestions &held = {});
    // Reads and parses the file at `path`; a file that cannot be read is a problem.
    static DemoSource read(QuestionKind kind, const QString &path);
    // Checks questions read from a file of another form (their chapter and
    // topic already known to be in the catalogue) as parse() checks a line's.
    static DemoSource check(QuestionKind kind, const QString &path,
                            const QList<DemoQuestion> &questions, const HeldQuestions &held);

    QuestionKind kind() const { return m_kind; }
    QString path() const { return m_path; }
    // The lines that fit, in file order.
    const QList<DemoQuestion> &questions() const { return m_questions; }
    // One entry per line that does not fit, in file order.
    const QList<DemoSourceProblem> &problems() const { return m_problems; }
    bool ok() const { return m_problems.isEmpty(); }

private:
    DemoSource(QuestionKind kind, const QString &path, const HeldQuestions &held)
        : m_kind(kind), m_path(path), m_held(held)
    {
    }

    void parseLine(int lineNumber, QStringView line);
    bool checkText(int lineNumber, const DemoQuestion &question);
    void checkCapacity();
    void addProblem(int lineNumber, const QString &message);

    QuestionKind m_kind;
    QString m_path;
    QList<DemoQuestion> m_questions;
    QList<DemoSourceProblem> m_problems;
    HeldQuestions m_held;
    QHash<QString, int> m_lineOfText; // place, '|', text: to catch a question written twice
};
