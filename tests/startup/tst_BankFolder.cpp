// The bank's folder: where the teacher's own folder lies, which folders the
// program can work in, the first-use copy of the demo bank (whole or absent
// whatever moment the start is killed or fails, never overwritten
// afterwards), and the working directory the program is left in.

#include "BankFolder.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testFiles;

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
    for (const QString &name : kBankFiles)
        if (readFile(QDir(folder).filePath(name)) != readFile(QDir(demo).filePath(name)))
            return name + " differs";
    return {};
}

int g_stepsSeen = 0;
int g_killAtStep = 0;

} // namespace

class tst_BankFolder : public QObject
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

    void personalFolderFollowsTheDataHome_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("error");
        QTest::newRow("data home set") << "/datos"
                                       << "/home/ana"
                                       << "/datos/orvalis/banco" << QString();
        QTest::newRow("data home with a slash")
            << "/datos/" << QString() << "/datos/orvalis/banco" << QString();
        QTest::newRow("data home unset") << QString() << "/home/ana"
                                         << "/home/ana/.local/share/orvalis/banco" << QString();
        QTest::newRow("relative data home is ignored")
            << "datos"
            << "/home/ana"
            << "/home/ana/.local/share/orvalis/banco" << QString();
        QTest::newRow("nothing known")
            << QString() << QString() << QString()
            << "no se sabe cuál es la carpeta personal: HOME no está definida";
    }
    void personalFolderFollowsTheDataHome()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, home);
        QFETCH(QString, folder);
        QFETCH(QString, error);
        QString reported;
        QCOMPARE(BankFolder::personalFolder({dataHome, home, "/usr/bin"}, &reported), folder);
        QCOMPARE(reported, error);
    }

    // Each row's tag is what lies at the path; %1 is the path in «».
    void unusableFoldersAreNamed_data()
    {
        QTest::addColumn<QString>("path"); // in the test's folder
        QTest::addColumn<QString>("error");
        QTest::newRow("folder") << "carpeta" << QString();
        QTest::newRow("link to a folder") << "enlace" << QString();
        QTest::newRow("missing") << "no-existe"
                                 << "la carpeta %1 no existe";
        QTest::newRow("under a file") << "fichero/dentro"
                                      << "la carpeta %1 no existe";
        QTest::newRow("dangling link") << "roto"
                                       << "la carpeta %1 no existe";
        QTest::newRow("file") << "fichero"
                              << "%1 no es una carpeta";
        QTest::newRow("read-only folder") << "0555"
                                          << "no se puede leer y escribir en la carpeta %1";
        QTest::newRow("folder that cannot be listed")
            << "0300"
            << "no se puede leer y escribir en la carpeta %1";
    }
    void unusableFoldersAreNamed()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QDir dir(m_dir->path());
        QVERIFY(writeFile(dir.filePath("fichero"), "x") && dir.mkdir("carpeta") &&
                QFile::link(dir.filePath("carpeta"), dir.filePath("enlace")) &&
                QFile::link(dir.filePath("no-existe"), dir.filePath("roto")));
        if (path.startsWith("0")) {
            if (geteuid() == 0)
                QSKIP("permissions do not bind the superuser");
            QVERIFY(dir.mkdir(path) && ::chmod(QFile::encodeName(dir.filePath(path)).constData(),
                                               path.toInt(nullptr, 8)) == 0);
        }
        const QString reported = BankFolder::checkUsable(dir.filePath(path));
        ::chmod(QFile::encodeName(dir.filePath(path)).constData(), 0755);
        QCOMPARE(reported, error.isEmpty() ? error : error.arg("«" + dir.filePath(path) + "»"));
    }

    void existingFolderIsNeverOverwritten()
    {
        const QString folder = m_dir->filePath("orvalis/banco");
        QCOMPARE(BankFolder::preparePersonal(folder, demo()), QString());
        // The teacher's changes, a file the teacher deleted, and a newer demo bank.
        QVERIFY(writeFile(QDir(folder).filePath("QELMEXT2.DAT"), "cambiado por el profesor"));
        QVERIFY(QFile::remove(QDir(folder).filePath("QELMEXE3.DAT")));
        for (const QString &name : kBankFiles)
            QVERIFY(writeFile(QDir(demo()).filePath(name), "demo nueva"));
        QCOMPARE(BankFolder::preparePersonal(folder, demo()), QString());
        QCOMPARE(readFile(QDir(folder).filePath("QELMEXT2.DAT")),
                 QByteArray("cambiado por el profesor"));
        QCOMPARE(entries(folder), (QStringList{"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXT2.DAT"}));
        QCOMPARE(readFile(QDir(folder).filePath("QELMEXE1.DAT")),
                 QByteArray("QELMEXE1.DAT").repeated(300));
        // An empty folder the teacher made is the teacher's too.
        QVERIFY(QDir().mkdir(m_dir->filePath("vacia")));
        QCOMPARE(BankFolder::preparePersonal(m_dir->filePath("vacia"), demo()), QString());
        QCOMPARE(entries(m_dir->filePath("vacia")), QStringList());
    }

    // A start that cannot copy the whole demo bank creates nothing; the next
    // one, given what it needs, does.
    void aFailedCopyCreatesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("oddity");
        for (const QString &name : kBankFiles)
            QTest::newRow(qPrintable(name + " missing")) << name << "missing";
        // Reading a pipe would wait for a writer for ever.
        QTest::newRow("QELMEXE2.DAT a pipe") << "QELMEXE2.DAT"
                                             << "pipe";
        QTest::newRow("QELMEXE1.DAT a folder") << "QELMEXE1.DAT"
                                               << "folder";
        QTest::newRow("full disk") << QString() << "full";
    }
    void aFailedCopyCreatesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, oddity);
        const QString odd = QDir(demo()).filePath(name), folder = m_dir->filePath("orvalis/banco");
        QVERIFY(name.isEmpty() || QFile::remove(odd));
        QVERIFY(oddity != "pipe" || ::mkfifo(QFile::encodeName(odd).constData(), 0644) == 0);
        QVERIFY(oddity != "folder" || QDir().mkdir(odd));
        QString reported;
        {
            std::optional<FileSizeLimit> full;
            QVERIFY(oddity != "full" || full.emplace(1000).isActive());
            reported = BankFolder::preparePersonal(folder, demo());
        }
        // On a full disk the reason is the failed write's own.
        QCOMPARE(
            reported,
            name.isEmpty()
                ? QStringLiteral("no se puede escribir «%1»: %2")
                      .arg(m_dir->filePath("orvalis/banco.nuevo/QELMEXT2.DAT"),
                           QString::fromLocal8Bit(std::strerror(EFBIG)))
                : QStringLiteral("falta el banco de demostración: no se encuentra «%1»").arg(odd));
        QCOMPARE(entries(m_dir->filePath("orvalis")), QStringList());
        QVERIFY(name.isEmpty() || oddity == "missing" || QFile::remove(odd) || QDir().rmdir(odd));
        QVERIFY(name.isEmpty() || writeFile(odd, name.toLatin1().repeated(300)));
        QCOMPARE(BankFolder::preparePersonal(folder, demo()), QString());
        QCOMPARE(differenceFromDemo(folder, demo()), QString());
    }

    void startKilledAtAnyStepLeavesNoFolderOrAWholeOne()
    {
        // A start that runs to the end, making the missing folders on the way.
        g_stepsSeen = 0;
        BankFolder::setStepHook([] { ++g_stepsSeen; });
        QCOMPARE(BankFolder::preparePersonal(m_dir->filePath("entero/orvalis/banco"), demo()),
                 QString());
        BankFolder::setStepHook(nullptr);
        QCOMPARE(differenceFromDemo(m_dir->filePath("entero/orvalis/banco"), demo()), QString());
        QCOMPARE(entries(m_dir->filePath("entero/orvalis")), QStringList{"banco"});
        const int steps = g_stepsSeen;
        QVERIFY2(steps >= 10, qPrintable(QString::number(steps)));
        for (int step = 1; step <= steps; ++step) {
            const QString parent = m_dir->filePath(QStringLiteral("paso%1/orvalis").arg(step));
            const QString folder = parent + "/banco", at = QStringLiteral("step %1: ").arg(step);
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                g_stepsSeen = 0;
                g_killAtStep = step;
                BankFolder::setStepHook([] {
                    if (++g_stepsSeen == g_killAtStep)
                        std::raise(SIGKILL);
                });
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

    void enterLeavesTheProgramInTheChosenFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("current"); // relative to the test's folder; empty: unchanged
        QTest::addColumn<QString>("error");   // %1: the test's folder
        QTest::newRow("working folder") << QStringList{} << "trabajo" << QString();
        QTest::newRow("given folder") << QStringList{"otra"} << "trabajo/otra" << QString();
        QTest::newRow("personal folder")
            << QStringList{"--banco-personal"} << "datos/orvalis/banco" << QString();
        QTest::newRow("missing folder")
            << QStringList{"no-existe"} << QString() << "la carpeta «no-existe» no existe";
        QTest::newRow("personal without a demo bank")
            << QStringList{"--banco-personal"} << QString()
            << "falta el banco de demostración: no se encuentra "
               "«%1/sin-demo/share/orvalis/banco-demo/QELMEXT2.DAT»";
    }
    void enterLeavesTheProgramInTheChosenFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, current);
        QFETCH(QString, error);
        const QString base = QFileInfo(m_dir->path()).canonicalFilePath();
        const QString installed = base + "/prefijo/share/orvalis/banco-demo";
        QVERIFY(makeDemoBank(installed) && QDir().mkpath(base + "/trabajo/otra"));
        QVERIFY(QDir::setCurrent(base + "/trabajo"));
        const bool withDemo = !error.contains("sin-demo");
        const BankFolder::Environment environment{
            base + "/datos", base + "/casa", base + (withDemo ? "/prefijo/bin" : "/sin-demo/bin")};
        QCOMPARE(BankFolder::enter(CommandLine::parse(arguments), environment),
                 error.contains("%1") ? error.arg(base) : error);
        QCOMPARE(QDir::currentPath(), base + "/" + (current.isEmpty() ? "trabajo" : current));
        if (arguments.contains("--banco-personal") && error.isEmpty())
            QCOMPARE(differenceFromDemo(QDir::currentPath(), installed), QString());
    }
};

QTEST_GUILESS_MAIN(tst_BankFolder)
#include "tst_BankFolder.moc"
