// The bank's folder: where the teacher's own folder lies, which folders the
// program can work in, the first-use copy of the demo bank (whole or absent
// whatever moment the start is killed, never overwritten afterwards), and the
// working directory the program is left in.

#include "BankFolder.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testFiles;

namespace {

const QStringList kBankFiles = {"QELMEXT2.DAT", "QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT"};

QString quoted(const QString &path)
{
    return QStringLiteral("«%1»").arg(path);
}

// A demo bank whose files differ from each other, so a file copied under the
// wrong name shows.
bool makeDemoBank(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const QString &name : kBankFiles)
        if (!writeFile(QDir(folder).filePath(name), name.toLatin1().repeated(300)))
            return false;
    return true;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Empty when folder holds exactly the demo bank's files with the demo's bytes.
QString differenceFromDemo(const QString &folder, const QString &demo)
{
    QStringList expected = kBankFiles;
    expected.sort();
    if (entries(folder) != expected)
        return QStringLiteral("entries: ") + entries(folder).join(QLatin1Char(' '));
    for (const QString &name : kBankFiles)
        if (readFile(QDir(folder).filePath(name)) != readFile(QDir(demo).filePath(name)))
            return name + QStringLiteral(" differs");
    return {};
}

int g_stepsSeen = 0;
int g_killAtStep = 0;

void countStep()
{
    ++g_stepsSeen;
}

void killAtStep()
{
    if (++g_stepsSeen == g_killAtStep)
        std::raise(SIGKILL);
}

} // namespace

class tst_BankFolder : public QObject
{
    Q_OBJECT

    QString m_savedCurrent;

private Q_SLOTS:
    void init() { m_savedCurrent = QDir::currentPath(); }

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

        QTest::newRow("data home set") << QStringLiteral("/datos") << QStringLiteral("/home/ana")
                                       << "/datos/orvalis/banco" << QString();
        QTest::newRow("data home with a slash")
            << "/datos/" << QString() << "/datos/orvalis/banco" << QString();
        QTest::newRow("data home unset") << QString() << QStringLiteral("/home/ana")
                                         << "/home/ana/.local/share/orvalis/banco" << QString();
        QTest::newRow("relative data home is ignored")
            << "datos" << QStringLiteral("/home/ana") << "/home/ana/.local/share/orvalis/banco"
            << QString();
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
        QCOMPARE(
            BankFolder::personalFolder({dataHome, home, QStringLiteral("/usr/bin")}, &reported),
            folder);
        QCOMPARE(reported, error);
    }

    // Each row's tag is what lies at the path.
    void unusableFoldersAreNamed_data()
    {
        QTest::addColumn<QString>("error"); // %1: the folder's path in «»
        QTest::newRow("folder") << QString();
        QTest::newRow("link to a folder") << QString();
        QTest::newRow("missing") << "la carpeta %1 no existe";
        QTest::newRow("under a file") << "la carpeta %1 no existe";
        QTest::newRow("dangling link") << "la carpeta %1 no existe";
        QTest::newRow("file") << "%1 no es una carpeta";
        QTest::newRow("read-only folder") << "no se puede leer y escribir en la carpeta %1";
        QTest::newRow("folder that cannot be listed")
            << "no se puede leer y escribir en la carpeta %1";
    }

    void unusableFoldersAreNamed()
    {
        QFETCH(QString, error);
        const QString kind = QString::fromLatin1(QTest::currentDataTag());
        const QTemporaryDir dir;
        const QString file = dir.filePath("fichero");
        const QString folder = dir.filePath("carpeta");
        QVERIFY(writeFile(file, "x") && QDir().mkdir(folder));
        QString path;
        if (kind == "folder") {
            path = folder;
        } else if (kind == "link to a folder") {
            path = dir.filePath("enlace");
            QVERIFY(QFile::link(folder, path));
        } else if (kind == "missing") {
            path = dir.filePath("no-existe");
        } else if (kind == "under a file") {
            path = file + "/dentro";
        } else if (kind == "dangling link") {
            path = dir.filePath("enlace");
            QVERIFY(QFile::link(dir.filePath("no-existe"), path));
        } else if (kind == "file") {
            path = file;
        } else {
            if (geteuid() == 0)
                QSKIP("permissions do not bind the superuser");
            path = folder;
            QVERIFY(::chmod(QFile::encodeName(folder).constData(),
                            kind == "read-only folder" ? 0555 : 0300) == 0);
        }
        const QString reported = BankFolder::checkUsable(path);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QCOMPARE(reported, error.isEmpty() ? error : error.arg(quoted(path)));
    }

    // A bank file in any letter case is a bank; other files are not.
    void aFolderWithoutAnyBankFileIsTold_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("noBank");
        QTest::newRow("empty") << QStringList{} << true;
        QTest::newRow("other files") << QStringList{"QELMEXT2.BAK", "examen.txt"} << true;
        QTest::newRow("true/false, lower case") << QStringList{"qelmext2.dat"} << false;
        QTest::newRow("brief, mixed case") << QStringList{"notas", "Qelmexe3.DAT"} << false;
    }
    void aFolderWithoutAnyBankFileIsTold()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, noBank);
        QTemporaryDir folder;
        for (const QString &name : files)
            QVERIFY(writeFile(folder.filePath(name), "x"));
        QCOMPARE(BankFolder::holdsNoBank(folder.path()), noBank);
    }

    void existingFolderIsNeverOverwritten()
    {
        const QTemporaryDir dir;
        const QString demo = dir.filePath("demo");
        QVERIFY(makeDemoBank(demo));
        const QString folder = dir.filePath("orvalis/banco");
        QCOMPARE(BankFolder::preparePersonal(folder, demo), QString());

        // The teacher's changes, a file the teacher deleted, and a newer demo bank.
        const QString changed = QDir(folder).filePath("QELMEXT2.DAT");
        QVERIFY(writeFile(changed, "cambiado por el profesor"));
        QVERIFY(QFile::remove(QDir(folder).filePath("QELMEXE3.DAT")));
        for (const QString &name : kBankFiles)
            QVERIFY(writeFile(QDir(demo).filePath(name), "demo nueva"));

        QCOMPARE(BankFolder::preparePersonal(folder, demo), QString());
        QCOMPARE(readFile(changed), QByteArray("cambiado por el profesor"));
        QCOMPARE(entries(folder), (QStringList{"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXT2.DAT"}));
        QCOMPARE(readFile(QDir(folder).filePath("QELMEXE1.DAT")),
                 QByteArray("QELMEXE1.DAT").repeated(300));

        // An empty folder the teacher made is the teacher's too.
        const QString empty = dir.filePath("vacia");
        QVERIFY(QDir().mkdir(empty));
        QCOMPARE(BankFolder::preparePersonal(empty, demo), QString());
        QCOMPARE(entries(empty), QStringList());
    }

    void missingOrOddDemoFileCreatesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("oddity");
        for (const QString &name : kBankFiles)
            QTest::newRow(qPrintable(name + " missing")) << name << "missing";
        // Reading a pipe would wait for a writer for ever.
        QTest::newRow("QELMEXE2.DAT a pipe") << QStringLiteral("QELMEXE2.DAT") << "pipe";
        QTest::newRow("QELMEXE1.DAT a folder") << QStringLiteral("QELMEXE1.DAT") << "folder";
    }

    void missingOrOddDemoFileCreatesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, oddity);

        const QTemporaryDir dir;
        const QString demo = dir.filePath("demo");
        QVERIFY(makeDemoBank(demo));
        const QString odd = QDir(demo).filePath(name);
        QVERIFY(QFile::remove(odd));
        if (oddity == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(odd).constData(), 0644) == 0);
        else if (oddity == "folder")
            QVERIFY(QDir().mkdir(odd));
        const QString folder = dir.filePath("orvalis/banco");

        QCOMPARE(
            BankFolder::preparePersonal(folder, demo),
            QStringLiteral("falta el banco de demostración: no se encuentra %1").arg(quoted(odd)));
        QCOMPARE(entries(dir.filePath("orvalis")), QStringList());
    }

    void fullDiskCreatesNothing()
    {
        const QTemporaryDir dir;
        const QString demo = dir.filePath("demo");
        QVERIFY(makeDemoBank(demo));
        const QString folder = dir.filePath("orvalis/banco");
        QString reported;
        {
            const FileSizeLimit fullDisk(1000);
            QVERIFY(fullDisk.isActive());
            reported = BankFolder::preparePersonal(folder, demo);
        }
        // The reason is the failed write's own, not one QFile leaves out.
        const QString expected = QStringLiteral("no se puede escribir %1: %2")
                                     .arg(quoted(dir.filePath("orvalis/banco.nuevo/QELMEXT2.DAT")),
                                          QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(reported, expected);
        QCOMPARE(entries(dir.filePath("orvalis")), QStringList());

        QCOMPARE(BankFolder::preparePersonal(folder, demo), QString());
        QCOMPARE(differenceFromDemo(folder, demo), QString());
    }

    void startKilledAtAnyStepLeavesNoFolderOrAWholeOne()
    {
        const QTemporaryDir dir;
        const QString demo = dir.filePath("demo");
        QVERIFY(makeDemoBank(demo));

        // A start that runs to the end, making the missing folders on the way.
        g_stepsSeen = 0;
        BankFolder::setStepHook(countStep);
        QCOMPARE(BankFolder::preparePersonal(dir.filePath("entero/orvalis/banco"), demo),
                 QString());
        BankFolder::setStepHook(nullptr);
        QCOMPARE(differenceFromDemo(dir.filePath("entero/orvalis/banco"), demo), QString());
        QCOMPARE(entries(dir.filePath("entero/orvalis")), QStringList{"banco"});
        const int steps = g_stepsSeen;
        QVERIFY2(steps >= 10, qPrintable(QString::number(steps)));

        for (int step = 1; step <= steps; ++step) {
            const QString parent = dir.filePath(QStringLiteral("paso%1/orvalis").arg(step));
            const QString folder = parent + "/banco";
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                g_stepsSeen = 0;
                g_killAtStep = step;
                BankFolder::setStepHook(killAtStep);
                BankFolder::preparePersonal(folder, demo);
                _exit(0);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                     qPrintable(QStringLiteral("step %1 was not reached").arg(step)));
            if (QFileInfo::exists(folder))
                QVERIFY2(differenceFromDemo(folder, demo).isEmpty(),
                         qPrintable(QStringLiteral("step %1: %2")
                                        .arg(step)
                                        .arg(differenceFromDemo(folder, demo))));

            // The next start finds its way past whatever the killed one left.
            QCOMPARE(BankFolder::preparePersonal(folder, demo), QString());
            QCOMPARE(differenceFromDemo(folder, demo), QString());
            QVERIFY2(
                entries(parent) == QStringList{"banco"},
                qPrintable(QStringLiteral("step %1: %2").arg(step).arg(entries(parent).join(' '))));
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

        const QTemporaryDir dir;
        const QString base = QFileInfo(dir.path()).canonicalFilePath();
        QVERIFY(makeDemoBank(base + "/prefijo/share/orvalis/banco-demo"));
        QVERIFY(QDir().mkpath(base + "/trabajo/otra"));
        QVERIFY(QDir::setCurrent(base + "/trabajo"));
        const bool withDemo = !error.contains("sin-demo");
        const BankFolder::Environment environment{
            base + "/datos", base + "/casa", base + (withDemo ? "/prefijo/bin" : "/sin-demo/bin")};

        const QString reported = BankFolder::enter(CommandLine::parse(arguments), environment);
        QCOMPARE(reported, error.contains("%1") ? error.arg(base) : error);
        QCOMPARE(QDir::currentPath(), base + "/" + (current.isEmpty() ? "trabajo" : current));
        if (arguments.contains("--banco-personal") && error.isEmpty())
            QCOMPARE(
                differenceFromDemo(QDir::currentPath(), base + "/prefijo/share/orvalis/banco-demo"),
                QString());
    }
};

QTEST_GUILESS_MAIN(tst_BankFolder)
#include "tst_BankFolder.moc"
