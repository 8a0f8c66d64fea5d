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

        const auto run = Action::Run;
        const auto fail = Action::Fail;
        const auto help = Action::ShowHelp;
        const auto version = Action::ShowVersion;
        const auto here = BankPlace::WorkingFolder;
        const auto given = BankPlace::GivenFolder;
        const auto personal = BankPlace::PersonalFolder;
        const QString both =
            QStringLiteral("no se puede indicar una carpeta junto con --banco-personal");
        const auto row = [](const char *name, const QStringList &arguments, Action action,
                            BankPlace place, const QString &folder = {},
                            const QString &error = {}) {
            QTest::newRow(name) << arguments << action << place << folder << error;
        };

        row("nothing", {}, run, here);
        row("folder", {"/srv/banco"}, run, given, "/srv/banco");
        row("folder with spaces and accents", {"Mis exámenes/2º curso"}, run, given,
            "Mis exámenes/2º curso");
        row("personal", {"--banco-personal"}, run, personal);
        row("personal twice", {"--banco-personal", "--banco-personal"}, run, personal);
        row("folder like an option after --", {"--", "--help"}, run, given, "--help");
        row("-- alone", {"--"}, run, here);
        row("help", {"--help"}, help, here);
        row("short help", {"-h"}, help, here);
        row("version", {"--version"}, version, here);
        row("help before a fault", {"--help", "--nada"}, help, here);
        row("version after a folder", {"a", "--version"}, version, given, "a");
        row("fault before help", {"--nada", "--help"}, fail, here, {},
            "opción desconocida: «--nada»");
        row("option with a value", {"--banco-personal=/tmp"}, fail, here, {},
            "opción desconocida: «--banco-personal=/tmp»");
        row("lone dash", {"-"}, fail, here, {}, "opción desconocida: «-»");
        row("toolkit option", {"-platform", "offscreen"}, fail, here, {},
            "opción desconocida: «-platform»");
        row("two folders", {"a", "b"}, fail, given, "a",
            "sobra «b»: solo se puede indicar una carpeta");
        row("folder then personal", {"a", "--banco-personal"}, fail, here, {}, both);
        row("personal then folder", {"--banco-personal", "a"}, fail, here, {}, both);
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
