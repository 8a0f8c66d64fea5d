#pragma once
// The questions a Moodle XML or GIFT file brings to the bank, sorted by the
// kind of bank file they go into, before they are checked against the bank
// (DemoSource::check). The two readers hand each question over with its line
// and its text made plain (htmlText); here it finds its place:
//
//  - a true/false question goes to the true/false bank, under the chapter and
//    topic of its category (CategoryPlace) or of --capitulo and --tema;
//  - an essay question becomes an exposition question of the kind --tipo
//    names or its category's, under its category's chapter or --capitulo;
//  - every other type of question is left out and named, never lost silently;
//  - a question whose place cannot be known, or whose text cannot be held, is
//    refused with the reason, and then nothing of the file is imported.
//
// What the command line says wins over what the category says. The bank holds
// one line a question: the lines of a text are joined with a space.

#include "DemoSource.h"
#include "HtmlText.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

struct ImportOptions
{
    std::optional<QuestionKind> essayKind; // --tipo: conceptual, practica or breve
    int chapter = 0;                       // --capitulo; 0 when not given
    int topic = 0;                         // --tema; 0 when not given
};

class ImportedFile
{
public:
    ImportedFile(const QString &path, const ImportOptions &options)
        : m_path(path), m_options(options)
    {
    }

    // The category the questions that follow are filed under, as Moodle
    // writes it ("$course$/top/…").
    void setCategory(const QString &categoryText);
    void addTrueFalse(int line, const htmlText::Result &text, bool answer);
    void addEssay(int line, const htmlText::Result &text);
    // A question of a type the bank has no room for: "opción múltiple".
    void leaveOut(int line, const QString &type);
    void refuse(int line, const QString &reason);

    QString path() const { return m_path; }
    // The questions for the kind's bank file, in the file's order.
    const QList<DemoQuestion> &questions(QuestionKind kind) const
    {
        return m_questions[std::size_t(kind)];
    }
    // The kinds that have questions, in the bank's order of kinds.
    QList<QuestionKind> kinds() const;
    // Questions refused, in the file's order: nothing may be imported.
    const QList<DemoSourceProblem> &problems() const { return m_problems; }
    // Questions left out, in the file's order: the others may be imported.
    const QList<DemoSourceProblem> &leftOut() const { return m_leftOut; }

private:
    // The question's text as the bank holds it, or empty after a refusal.
    std::optional<QString> bankText(int line, const htmlText::Result &text);
    QString unknownPlace(const QString &what, const QString &options) const;

    QString m_path;
    ImportOptions m_options;
    QString m_category;
    std::array<QList<DemoQuestion>, kQuestionKinds.size()> m_questions;
    QList<DemoSourceProblem> m_problems;
    QList<DemoSourceProblem> m_leftOut;
};
