// The command line: what each combination of arguments asks for, the exact
// message of each fault, and a help text that lists every option the parser
// takes and fits a console.

#include "CommandLine.h"

#include <QTest>

using CommandLine::Action;
using CommandLine::BankPlace;

Q_DECLARE_METATYPE(CommandLine::Action)
Q_DECLARE_METATYPE(CommandLine::BankPlace)

class tst_CommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void argumentsGiveTheirRequest_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<BankPlace>("place");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("error");

        using enum Action;
        using enum BankPlace;
        const auto row = [](const char *name, const QStringList &arguments, Action action,
                            BankPlace place, const QString &folder = {},
                            const QString &error = {}) {
            QTest::newRow(name) << arguments << action << place << folder << error;
        };

        row("nothing", {}, Run, WorkingFolder);
        row("folder", {"/srv/banco"}, Run, GivenFolder, "/srv/banco");
        row("personal", {"--banco-personal"}, Run, PersonalFolder);
        row("folder like an option after --", {"--", "--help"}, Run, GivenFolder, "--help");
        row("help", {"--help"}, ShowHelp, WorkingFolder);
        row("version", {"--version"}, ShowVersion, WorkingFolder);
        row("help before a fault", {"--help", "--nada"}, ShowHelp, WorkingFolder);
        row("fault before help", {"--nada", "--help"}, Fail, WorkingFolder, {},
            "opción desconocida: «--nada»");
        row("two folders", {"a", "b"}, Fail, GivenFolder, "a",
            "sobra «b»: solo se puede indicar una carpeta");
        row("folder and personal", {"a", "--banco-personal"}, Fail, WorkingFolder, {},
            "no se puede indicar una carpeta junto con --banco-personal");
    }

    void argumentsGiveTheirRequest()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(BankPlace, place);
        QFETCH(QString, folder);
        QFETCH(QString, error);

        const CommandLine::Request request = CommandLine::parse(arguments);
        QCOMPARE(request.action, action);
        QCOMPARE(request.error, error);
        if (action == Action::Run) {
            QCOMPARE(request.place, place);
            QCOMPARE(request.folder, folder);
        }
    }

    // Every option the parser takes is listed, on lines that fit a console.
    void helpListsEveryOptionTheParserTakes()
    {
        const QString help = CommandLine::helpText();
        for (const QString option : {"--banco-personal", "--help", "-h", "--version", "--"}) {
            QVERIFY(CommandLine::parse({option}).action != Action::Fail);
            const QRegularExpression listed("(^|[ ,])" + QRegularExpression::escape(option) +
                                                "( |,|$)",
                                            QRegularExpression::MultilineOption);
            QVERIFY2(listed.match(help).hasMatch(), qPrintable(option));
        }
        for (const QString &line : help.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
        QVERIFY(help.endsWith(u'\n') && CommandLine::versionText().endsWith(u'\n'));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
