#pragma once
// The demo question bank as a whole: its four source files read from one
// folder, and the four bank files written from them through the bank's own
// classes, so that the bytes are exactly those the program writes itself.

#include "DemoSource.h"

#include <QList>
#include <QString>
#include <array>

class DemoBank
{
public:
    // Reads the four source files, each under DemoSource::fileName, from `directory`.
    static DemoBank read(const QString &directory);

    const DemoSource &source(QuestionKind kind) const;
    // Every problem of the four files, file by file.
    QList<DemoSourceProblem> problems() const;
    bool ok() const { return problems().isEmpty(); }

    // Writes QELMEXT2.DAT, QELMEXE1.DAT, QELMEXE2.DAT and QELMEXE3.DAT into
    // `outputDirectory`, which then holds those four files only. The files are
    // built in a fresh folder beside it and put in its place only once all four
    // are complete and read back correctly, so a failure leaves the previous
    // folder as it was. Refuses to write when any source line has a problem.
    // Returns an empty string on success, otherwise what went wrong.
    QString write(const QString &outputDirectory) const;

private:
    explicit DemoBank(std::array<DemoSource, kQuestionKinds.size()> sources)
        : m_sources(std::move(sources))
    {
    }

    QString writeFiles(const QString &directory) const;
    QString checkFiles(const QString &directory) const;

    std::array<DemoSource, kQuestionKinds.size()> m_sources;
};
