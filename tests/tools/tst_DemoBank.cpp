// The demo bank the build generated: every source line fits and comes back
// through the bank unchanged, nothing is left out, every list meets its
// minimum and the true/false answers are about half Sí, half No. And the
// makebank executable that generates it: a good run replaces the output
// folder with the four bank files; a bad source line is named, fails the run
// and writes nothing.

#include "AnyBank.h"
#include "DemoBank.h"
#include "TestFiles.h"
#include "TopicCatalogue.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(QuestionKind)

class tst_DemoBank : public QObject
{
    Q_OBJECT

private:
    std::optional<DemoBank> m_bank;
    QTemporaryDir m_copy; // opening a bank may create a missing file

private Q_SLOTS:
    void initTestCase()
    {
        m_bank = DemoBank::read(QStringLiteral(ORVALIS_DEMO_SOURCE_DIR));
        QVERIFY2(m_bank->ok(), qPrintable(m_bank->problems().value(0).toString()));
        for (const char *name : {"QELMEXT2.DAT", "QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT"})
            QVERIFY(QFile::copy(QDir(ORVALIS_DEMO_BANK_DIR).filePath(name), m_copy.filePath(name)));
    }

    void everyLineRoundTripsAndEachListMeetsItsMinimum_data()
    {
        QTest::addColumn<QuestionKind>("kind");
        QTest::addColumn<int>("minimum"); // a topic's true/false questions, a chapter's others

        QTest::newRow("true/false") << QuestionKind::TrueFalse << 3;
        QTest::newRow("conceptual") << QuestionKind::Conceptual << 3;
        QTest::newRow("practical") << QuestionKind::Practical << 2;
        QTest::newRow("brief") << QuestionKind::Brief << 4;
    }

    void everyLineRoundTripsAndEachListMeetsItsMinimum()
    {
        QFETCH(QuestionKind, kind);
        QFETCH(int, minimum);
        const bool trueFalse = kind == QuestionKind::TrueFalse;
        QHash<int, QStringList> expected; // by chapter*100+topic, topic 0 for the others
        int yes = 0;
        for (const DemoQuestion &question : m_bank->source(kind).questions()) {
            expected[question.chapter * 100 + question.topic]
                << question.text + (trueFalse ? "|" + QString::number(question.answer) : QString());
            yes += question.answer;
        }
        AnyBank bank(int(kind), m_copy.path());
        QVERIFY(bank.open().ok());
        const TopicCatalogue catalogue;
        int listed = 0;
        for (int chapter = 1; chapter <= TopicCatalogue::kChapters; ++chapter)
            for (int topic = trueFalse; topic <= (trueFalse ? catalogue.topicCount(chapter) : 0);
                 ++topic) {
                const auto listing = bank.questionsOf(chapter, topic);
                QStringList texts;
                for (const QuestionListing &row : listing.value())
                    texts << row.text + (trueFalse ? "|" + QString::number(row.answer) : QString());
                QCOMPARE(texts, expected.take(chapter * 100 + topic));
                QVERIFY2(texts.size() >= minimum,
                         qPrintable(QString::number(chapter * 100 + topic)));
                listed += texts.size();
            }
        QCOMPARE(expected.keys(), QList<int>()); // every source line is listed
        // 45 % to 55 % Sí: a student who always answers the same cannot pass.
        if (trueFalse)
            QVERIFY2(qAbs(2 * yes - listed) * 10 <= listed, qPrintable(QString::number(yes)));
    }

    void badLineWritesNothingAndKeepsThePreviousOutput()
    {
        const QTemporaryDir dir;
        const QDir sources(dir.filePath("fuentes")), output(dir.filePath("generated"));
        const QString bad = sources.filePath("breves.txt");
        QProcess process;
        const auto run = [&](const QByteArray &line) {
            if (!testFiles::writeFile(bad, "# c\n" + line))
                return -2;
            process.start(ORVALIS_MAKEBANK_PATH, {sources.path(), output.path()});
            const bool ended =
                process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
            return ended ? process.exitCode() : -1;
        };
        const QByteArray badLine = "0|0|S|x\n", goodLine = "1|1|S|Bien.\n"; // fits every kind
        QVERIFY(sources.mkpath("."));
        for (const char *file :
             {"verdadero_falso.txt", "conceptuales.txt", "practicas.txt", "breves.txt"})
            QVERIFY(testFiles::writeFile(sources.filePath(file), goodLine));
        QCOMPARE(run(badLine), 1);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(errors.contains(bad + ":2: el capítulo"), qPrintable(errors));
        QVERIFY(!output.exists());
        // A good run replaces whatever the output folder held; a bad one leaves it.
        QVERIFY(output.mkpath(".") && testFiles::writeFile(output.filePath("VIEJO.DAT"), "viejo"));
        QCOMPARE(run(goodLine), 0);
        const QStringList bankFiles = output.entryList(QDir::Files);
        QCOMPARE(bankFiles,
                 (QStringList{"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT", "QELMEXT2.DAT"}));
        const QByteArray written = testFiles::readFile(output.filePath("QELMEXE3.DAT"));
        // A source that cannot be read stops it as a bad line does.
        QVERIFY(QFile::remove(sources.filePath("practicas.txt")));
        QCOMPARE(run(goodLine), 1);
        QVERIFY(QString::fromUtf8(process.readAllStandardError())
                    .contains(sources.filePath("practicas.txt") + ": no se puede leer"));
        QCOMPARE(output.entryList(QDir::Files), bankFiles);
        QCOMPARE(testFiles::readFile(output.filePath("QELMEXE3.DAT")), written);
    }
};

QTEST_GUILESS_MAIN(tst_DemoBank)
#include "tst_DemoBank.moc"
