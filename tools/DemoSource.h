#pragma once
// One source file of the demo question bank: readable UTF-8, one question a
// line ("chapter|topic|S or N|text" for true/false questions, "chapter|text"
// for the three exposition kinds), '#' comment lines and blank lines allowed.
// Parsing checks every line against what the bank can hold and the catalogue
// knows, and names the file and line of each line that does not fit, so that a
// bad question is caught when the bank is generated rather than by a teacher.

#include "ExpositionKind.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

enum class DemoSourceKind
{
    TrueFalse,
    Conceptual,
    Practical,
    Brief
};

inline constexpr int kDemoSourceKindCount = 4;

struct DemoQuestion
{
    int line = 0; // 1-based line of the source file
    qint16 chapter = 0;
    qint16 topic = 0;  // true/false questions only
    qint16 answer = 0; // true/false questions only: 1 = Sí, 0 = No
    QString text;
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
    static QString fileName(DemoSourceKind kind);
    // Width of the bank field the kind's texts go into: 250, 500, 1000, 150.
    static int textWidth(DemoSourceKind kind);
    // The exposition file a kind goes to; only for the three exposition kinds.
    static ExpositionKind expositionKind(DemoSourceKind kind);

    // Parses `content`; `path` only names the file in problems.
    static DemoSource parse(DemoSourceKind kind, const QString &path, QByteArrayView content);
    // Reads and parses the file at `path`; a file that cannot be read is a problem.
    static DemoSource read(DemoSourceKind kind, const QString &path);

    DemoSourceKind kind() const { return m_kind; }
    QString path() const { return m_path; }
    // The lines that fit, in file order.
    const QList<DemoQuestion> &questions() const { return m_questions; }
    // One entry per line that does not fit, in file order.
    const QList<DemoSourceProblem> &problems() const { return m_problems; }
    bool ok() const { return m_problems.isEmpty(); }

private:
    DemoSource(DemoSourceKind kind, const QString &path) : m_kind(kind), m_path(path) {}

    void parseLine(int lineNumber, QStringView line);
    bool checkText(int lineNumber, const QString &text);
    void checkCapacity();
    void addProblem(int lineNumber, const QString &message);

    DemoSourceKind m_kind;
    QString m_path;
    QList<DemoQuestion> m_questions;
    QList<DemoSourceProblem> m_problems;
    QHash<QString, int> m_lineOfText; // to catch a question written twice
};
