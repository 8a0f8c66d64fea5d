// What the program settles before any window opens. The command line: what
// each combination of arguments asks for and the exact message of each
// fault. The bank's folder: where the teacher's own folder lies, which folders the
// program can work in, the first-use copy of the demo bank (whole or absent
// whatever moment the start is killed or fails, never overwritten
// afterwards), and the working directory the program is left in.

#include "BankFolder.h"
#include "CommandLine.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testFiles;
using CommandLine::Action;

namespace {

const QStringList kBankFiles = {"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT", "QELMEXT2.DAT"};

// A demo bank whose files differ from each other, so a file copied under the
// wrong name shows.
bool makeDemoBank(const QString &folder)
{
    bool made = QDir().mkpath(folder);
    for (const QString &name : kBankFiles)
        made = made && writeFile(QDir(folder).filePath(name), name.toLatin1().repeated(300));
    return made;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Empty when folder holds exactly the demo bank's files with the demo's bytes.
QString differenceFromDemo(const QString &folder, const QString &demo)
{
    if (entries(folder) != kBankFiles)
        return "entries: " + entries(folder).join(u' ');
    return folderContents(folder) == folderContents(demo) ? QString() : "other bytes";
}

// Steps of the copy counted, and the one the process is killed at (0: none).
int g_steps = 0, g_killAt = 0;
void countStep()
{
    if (++g_steps == g_killAt)
        std::raise(SIGKILL);
}

} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT

    QString m_savedCurrent;
    std::optional<QTemporaryDir> m_dir;
    QString demo() const { return m_dir->filePath("demo"); }

private Q_SLOTS:
    void init()
    {
        m_savedCurrent = QDir::currentPath();
        QVERIFY(makeDemoBank(m_dir.emplace().filePath("demo")));
    }
    void cleanup()
    {
        QDir::setCurrent(m_savedCurrent);
        BankFolder::setStepHook(nullptr);
    }

    void startKilledAtAnyStepLeavesNoFolderOrAWholeOne()
    {
        // A start that runs to the end, making the missing folders on the way,
        // its steps counted (what it leaves: the personal rows above).
        g_steps = g_killAt = 0;
        BankFolder::setStepHook(countStep);
        QCOMPARE(BankFolder::preparePersonal(m_dir->filePath("entero/orvalis/banco"), demo()),
                 QString());
        const int steps = g_steps;
        QVERIFY2(steps >= 10, qPrintable(QString::number(steps)));
        for (int step = 1; step <= steps; ++step) {
            const QString parent = m_dir->filePath(QStringLiteral("paso%1/orvalis").arg(step));
            const QString folder = parent + "/banco", at = QStringLiteral("step %1: ").arg(step);
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                g_steps = 0;
                g_killAt = step;
                BankFolder::preparePersonal(folder, demo());
                _exit(0);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                     qPrintable(at + "not reached"));
            if (QFileInfo::exists(folder))
                QVERIFY2(differenceFromDemo(folder, demo()).isEmpty(),
                         qPrintable(at + differenceFromDemo(folder, demo())));
            // The next start finds its way past whatever the killed one left.
            QCOMPARE(BankFolder::preparePersonal(folder, demo()), QString());
            QCOMPARE(differenceFromDemo(folder, demo()), QString());
            QVERIFY2(entries(parent) == QStringList{"banco"},
                     qPrintable(at + entries(parent).join(' ')));
        }
    }

    // The arguments, then the folder the program enters, made from the
    // data home and the home given ("@": the test's folder) and the demo bank
    // installed beside the program. Only the working folder holds no bank
    // file: other files only, where the others hold one in some letter case.
    void enterLeavesTheProgramInTheChosenFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("homes"); // data home, home
        QTest::addColumn<QString>("current");   // relative to the test's folder; empty: unchanged
        QTest::addColumn<QString>("error");     // "--help": the help is asked for
        const auto row = [](const char *tag, const QStringList &arguments, const char *current,
                            const char *error = "",
                            const QStringList &homes = {"@/datos", "@/casa"}) {
            QTest::newRow(tag) << arguments << homes << current << error;
        };
        const QStringList personal{"--banco-personal"};
        const char *underHome = "casa/.local/share/orvalis/banco";
        row("working folder", {}, "trabajo");
        row("folder like an option after --", {"--", "--help"}, "trabajo/--help");
        row("personal, relative data home ignored", personal, underHome, "", {"datos", "@/casa"});
        // A folder that is there is the teacher's, whatever bank files it
        // lacks: nothing of the demo bank is copied into it.
        row("personal folder already there", personal, "propia/orvalis/banco", "",
            {"@/propia", ""});
        row("personal, nothing known", personal, "",
            "no se sabe cuál es la carpeta personal: HOME no está definida", {"", ""});
        row("missing folder", {"no-existe"}, "", "la carpeta «no-existe» no existe");
        row("a file", {"otra/f"}, "", "«otra/f» no es una carpeta");
        row("personal without a demo bank", personal, "",
            "falta el banco de demostración: no se encuentra "
            "«@/sin-demo/share/orvalis/banco-demo/QELMEXT2.DAT»");
        row("help before a fault", {"--help", "--nada"}, "", "--help");
        row("fault before help", {"--nada", "--help"}, "", "opción desconocida: «--nada»");
        row("two folders", {"otra", "b"}, "", "sobra «b»: solo se puede indicar una carpeta");
        row("folder and personal", {"otra", "--banco-personal"}, "",
            "no se puede indicar una carpeta junto con --banco-personal");
    }
    void enterLeavesTheProgramInTheChosenFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, homes);
        QFETCH(QString, current);
        QFETCH(QString, error);
        const QString base = QFileInfo(m_dir->path()).canonicalFilePath();
        const QString installed = base + "/prefijo/share/orvalis/banco-demo";
        QVERIFY(makeDemoBank(installed) && QDir().mkpath(base + "/trabajo/otra") &&
                QDir().mkpath(base + "/trabajo/--help"));
        for (const char *file : {"QELMEXT2.BAK", "examen.txt", "otra/f", "--help/qelmext2.dat"})
            QVERIFY(writeFile(base + "/trabajo/" + file, "x"));
        QVERIFY(QDir().mkpath(base + "/propia/orvalis/banco") &&
                writeFile(base + "/propia/orvalis/banco/Qelmext2.dat", "del profesor"));
        QVERIFY(QDir::setCurrent(base + "/trabajo"));
        const BankFolder::Environment environment{
            homes[0].replace("@", base), homes[1].replace("@", base),
            base + (error.contains("sin-demo") ? "/sin-demo/bin" : "/prefijo/bin")};
        const CommandLine::Request request = CommandLine::parse(arguments);
        QCOMPARE(request.action == Action::Run        ? BankFolder::enter(request, environment)
                 : request.action == Action::ShowHelp ? QStringLiteral("--help")
                                                      : request.error,
                 error.replace("@", base));
        QCOMPARE(QDir::currentPath(), base + "/" + (current.isEmpty() ? "trabajo" : current));
        if (current.startsWith("propia"))
            QCOMPARE(folderContents("."), QStringList{"Qelmext2.dat=del profesor"});
        else if (arguments.contains("--banco-personal") && error.isEmpty())
            QCOMPARE(differenceFromDemo(QDir::currentPath(), installed), QString());
        QCOMPARE(BankFolder::holdsNoBank(QDir::currentPath()),
                 current.isEmpty() || current == "trabajo");
    }
};

QTEST_GUILESS_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
