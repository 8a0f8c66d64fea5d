// makebank: turns the demo question bank's source files into the four bank
// files, through the bank's own classes.
//
//   makebank <source folder> <output folder>
//
// Every source line that does not fit is reported as "file:line: reason"; if
// there is any, or writing fails, nothing is written and the exit status is 1.

#include "DemoBank.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        printError(QStringLiteral("usage: makebank <source folder> <output folder>"));
        return 2;
    }
    const QString sourceDirectory = arguments.at(1);
    const QString outputDirectory = arguments.at(2);

    const DemoBank bank = DemoBank::read(sourceDirectory);
    const QList<DemoSourceProblem> problems = bank.problems();
    if (!problems.isEmpty()) {
        for (const DemoSourceProblem &problem : problems)
            printError(problem.toString());
        printError(QStringLiteral("makebank: %1 source line(s) do not fit; no bank file written")
                       .arg(problems.size()));
        return 1;
    }

    if (const QString error = bank.write(outputDirectory); !error.isEmpty()) {
        printError(QStringLiteral("makebank: %1; no bank file written").arg(error));
        return 1;
    }

    std::printf(
        "%s\n",
        qUtf8Printable(QStringLiteral("makebank: %1 true/false, %2 conceptual, %3 practical and %4 "
                                      "brief questions written to %5")
                           .arg(bank.source(QuestionKind::TrueFalse).questions().size())
                           .arg(bank.source(QuestionKind::Conceptual).questions().size())
                           .arg(bank.source(QuestionKind::Practical).questions().size())
                           .arg(bank.source(QuestionKind::Brief).questions().size())
                           .arg(outputDirectory)));
    return 0;
}
