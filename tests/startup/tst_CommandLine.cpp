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
    void argumentsGiveTheirRequest_data();
    void argumentsGiveTheirRequest();
    void helpListsEveryOptionTheParserTakes_data();
    void helpListsEveryOptionTheParserTakes();
    void helpFitsAConsoleLine();
};

void tst_CommandLine::argumentsGiveTheirRequest_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<BankPlace>("place");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("error");

    const auto run = Action::Run;
    const auto fail = Action::Fail;
    const auto here = BankPlace::WorkingFolder;
    const auto given = BankPlace::GivenFolder;
    const auto personal = BankPlace::PersonalFolder;
    const QString none;
    const QString both =
        QStringLiteral("no se puede indicar una carpeta junto con --banco-personal");

    QTest::newRow("nothing") << QStringList{} << run << here << none << none;
    QTest::newRow("folder") << QStringList{"/srv/banco"} << run << given << "/srv/banco" << none;
    QTest::newRow("folder with spaces and accents")
        << QStringList{"Mis exámenes/2º curso"} << run << given << "Mis exámenes/2º curso" << none;
    QTest::newRow("personal") << QStringList{"--banco-personal"} << run << personal << none << none;
    QTest::newRow("personal twice")
        << QStringList{"--banco-personal", "--banco-personal"} << run << personal << none << none;
    QTest::newRow("folder like an option after --")
        << QStringList{"--", "--help"} << run << given << "--help" << none;
    QTest::newRow("-- alone") << QStringList{"--"} << run << here << none << none;
    QTest::newRow("help") << QStringList{"--help"} << Action::ShowHelp << here << none << none;
    QTest::newRow("short help") << QStringList{"-h"} << Action::ShowHelp << here << none << none;
    QTest::newRow("version") << QStringList{"--version"} << Action::ShowVersion << here << none
                             << none;
    QTest::newRow("help before a fault")
        << QStringList{"--help", "--nada"} << Action::ShowHelp << here << none << none;
    QTest::newRow("version after a folder")
        << QStringList{"a", "--version"} << Action::ShowVersion << given << "a" << none;
    QTest::newRow("fault before help") << QStringList{"--nada", "--help"} << fail << here << none
                                       << "opción desconocida: «--nada»";
    QTest::newRow("option with a value") << QStringList{"--banco-personal=/tmp"} << fail << here
                                         << none << "opción desconocida: «--banco-personal=/tmp»";
    QTest::newRow("lone dash") << QStringList{"-"} << fail << here << none
                               << "opción desconocida: «-»";
    QTest::newRow("toolkit option") << QStringList{"-platform", "offscreen"} << fail << here << none
                                    << "opción desconocida: «-platform»";
    QTest::newRow("two folders") << QStringList{"a", "b"} << fail << given << "a"
                                 << "sobra «b»: solo se puede indicar una carpeta";
    QTest::newRow("folder then personal")
        << QStringList{"a", "--banco-personal"} << fail << here << none << both;
    QTest::newRow("personal then folder")
        << QStringList{"--banco-personal", "a"} << fail << here << none << both;
}

void tst_CommandLine::argumentsGiveTheirRequest()
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

void tst_CommandLine::helpListsEveryOptionTheParserTakes_data()
{
    QTest::addColumn<QString>("option");
    for (const char *option : {"--banco-personal", "--help", "-h", "--version", "--"})
        QTest::newRow(option) << QString::fromLatin1(option);
}

void tst_CommandLine::helpListsEveryOptionTheParserTakes()
{
    QFETCH(QString, option);
    QVERIFY(CommandLine::parse({option}).action != Action::Fail);
    const QRegularExpression listed(
        QStringLiteral("(^|[ ,])%1( |,|$)").arg(QRegularExpression::escape(option)),
        QRegularExpression::MultilineOption);
    QVERIFY2(listed.match(CommandLine::helpText()).hasMatch(), qPrintable(option));
}

void tst_CommandLine::helpFitsAConsoleLine()
{
    const QStringList lines = CommandLine::helpText().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 80, qPrintable(line));
    QVERIFY(CommandLine::helpText().endsWith(QLatin1Char('\n')));
    QVERIFY(CommandLine::versionText().endsWith(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
