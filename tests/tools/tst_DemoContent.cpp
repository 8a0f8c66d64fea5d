// The demo question bank as the build generates it: every source line fits,
// the generated files are current, open through the bank with the expected
// counts and give back every question exactly as written, and the content
// meets its minimums (3 true/false questions a topic; 3 conceptual, 2
// practical and 4 brief questions a chapter; answers about half Sí, half No).

#include "DemoBank.h"
#include "ExpositionBank.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

namespace {

const QString kSourceDir = QStringLiteral(ORVALIS_DEMO_SOURCE_DIR);
const QString kGeneratedDir = QStringLiteral(ORVALIS_DEMO_BANK_DIR);

const QStringList kBankFiles = {QStringLiteral("QELMEXT2.DAT"), QStringLiteral("QELMEXE1.DAT"),
                                QStringLiteral("QELMEXE2.DAT"), QStringLiteral("QELMEXE3.DAT")};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString where(const DemoSource &source, const DemoQuestion &question)
{
    return QStringLiteral("%1:%2").arg(source.path()).arg(question.line);
}

} // namespace

class tst_DemoContent : public QObject
{
    Q_OBJECT

private:
    const DemoSource &source(DemoSourceKind kind) const { return m_bank->source(kind); }

    std::optional<DemoBank> m_bank;
    // A copy of the generated files: opening a bank may create a missing file,
    // and the build's own output is not the tests' to touch.
    QTemporaryDir m_copy;

private Q_SLOTS:
    void initTestCase();

    void everySourceLineFits();
    void generatedFilesAreThoseOfTheCurrentSources();
    void everyTopicHoldsAtLeastThreeQuestions();
    void everyChapterHoldsItsExpositionMinimum_data();
    void everyChapterHoldsItsExpositionMinimum();
    void answersAreAboutHalfSiHalfNo();
    void everyTrueFalseLineRoundTrips();
    void everyExpositionLineRoundTrips_data();
    void everyExpositionLineRoundTrips();
};

void tst_DemoContent::initTestCase()
{
    m_bank = DemoBank::read(kSourceDir);
    QVERIFY(m_copy.isValid());
    for (const QString &name : kBankFiles) {
        const QString generated = QDir(kGeneratedDir).filePath(name);
        QVERIFY2(QFile::exists(generated), qPrintable(generated + " was not generated"));
        QVERIFY(QFile::copy(generated, m_copy.filePath(name)));
    }
}

void tst_DemoContent::everySourceLineFits()
{
    QStringList problems;
    for (const DemoSourceProblem &problem : m_bank->problems())
        problems.append(problem.toString());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void tst_DemoContent::generatedFilesAreThoseOfTheCurrentSources()
{
    QTemporaryDir fresh;
    const QString output = fresh.filePath(QStringLiteral("generated"));
    QCOMPARE(m_bank->write(output), QString());
    for (const QString &name : kBankFiles) {
        const QByteArray expected = readFile(QDir(output).filePath(name));
        QVERIFY(!expected.isEmpty());
        QVERIFY2(readFile(m_copy.filePath(name)) == expected,
                 qPrintable(name + " in the build is stale"));
    }
}

void tst_DemoContent::everyTopicHoldsAtLeastThreeQuestions()
{
    const TopicCatalogue catalogue;
    TrueFalseBank bank(m_copy.path());
    QVERIFY(bank.openBank().ok());
    qsizetype listed = 0;
    for (int chapter = 1; chapter <= TopicCatalogue::kChapters; ++chapter) {
        for (int topic = 1; topic <= catalogue.topicCount(chapter); ++topic) {
            const auto questions = bank.questionsOf(chapter, topic);
            QVERIFY(questions.ok());
            QVERIFY2(questions->size() >= 3,
                     qPrintable(QStringLiteral("chapter %1, topic %2 (%3) holds %4")
                                    .arg(chapter)
                                    .arg(topic)
                                    .arg(catalogue.topicTitle(chapter, topic))
                                    .arg(questions->size())));
            listed += questions->size();
        }
    }
    // Nothing lies under a topic that no topic list reaches.
    QCOMPARE(listed, bank.recordCount());
    bank.closeBank();
}

void tst_DemoContent::everyChapterHoldsItsExpositionMinimum_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<int>("minimum");

    QTest::newRow("conceptual") << DemoSourceKind::Conceptual << 3;
    QTest::newRow("practical") << DemoSourceKind::Practical << 2;
    QTest::newRow("brief") << DemoSourceKind::Brief << 4;
}

void tst_DemoContent::everyChapterHoldsItsExpositionMinimum()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(int, minimum);

    ExpositionBank bank(m_copy.path());
    QVERIFY(bank.openBank(DemoSource::expositionKind(kind)).ok());
    for (int chapter = 1; chapter <= ExpositionBank::kChapters; ++chapter)
        QVERIFY2(bank.index().count(chapter) >= minimum,
                 qPrintable(QStringLiteral("chapter %1 holds %2")
                                .arg(chapter)
                                .arg(bank.index().count(chapter))));
    bank.closeBank();
}

void tst_DemoContent::answersAreAboutHalfSiHalfNo()
{
    TrueFalseBank bank(m_copy.path());
    QVERIFY(bank.openBank().ok());
    int yes = 0;
    for (qint32 n = 1; n <= bank.recordCount(); ++n) {
        const auto record = bank.readRecord(n);
        QVERIFY(record.ok());
        QVERIFY(record->answer == 0 || record->answer == 1);
        yes += record->answer;
    }
    const int no = bank.recordCount() - yes;
    bank.closeBank();
    // Within 45 % to 55 %: a student who always answers the same cannot pass.
    QVERIFY2(qAbs(yes - no) * 10 <= yes + no,
             qPrintable(QStringLiteral("%1 Sí, %2 No").arg(yes).arg(no)));
}

void tst_DemoContent::everyTrueFalseLineRoundTrips()
{
    const DemoSource &trueFalse = source(DemoSourceKind::TrueFalse);
    TrueFalseBank bank(m_copy.path());
    QVERIFY(bank.openBank().ok());

    // A topic lists its questions in file order, which is source order.
    QHash<int, QList<DemoQuestion>> byTopic;
    for (const DemoQuestion &question : trueFalse.questions())
        byTopic[question.chapter * 100 + question.topic].append(question);

    for (auto it = byTopic.cbegin(); it != byTopic.cend(); ++it) {
        const int chapter = it.key() / 100;
        const int topic = it.key() % 100;
        const auto listing = bank.questionsOf(chapter, topic);
        QVERIFY(listing.ok());
        QCOMPARE(listing->size(), it->size());
        for (qsizetype i = 0; i < it->size(); ++i) {
            const DemoQuestion &question = it->at(i);
            const QuestionListing &row = listing->at(i);
            QVERIFY2(row.text == question.text, qPrintable(where(trueFalse, question)));
            QCOMPARE(row.answerLabel,
                     question.answer == 1 ? QStringLiteral("Sí") : QStringLiteral("No"));

            const auto record = bank.readRecord(row.recordNumber);
            QVERIFY(record.ok());
            QCOMPARE(record->chapter, question.chapter);
            QCOMPARE(record->topic, question.topic);
            QCOMPARE(record->answer, question.answer);
            QCOMPARE(TrueFalseBank::displayText(*record), question.text);
        }
    }
    bank.closeBank();
}

void tst_DemoContent::everyExpositionLineRoundTrips_data()
{
    QTest::addColumn<DemoSourceKind>("kind");

    QTest::newRow("conceptual") << DemoSourceKind::Conceptual;
    QTest::newRow("practical") << DemoSourceKind::Practical;
    QTest::newRow("brief") << DemoSourceKind::Brief;
}

void tst_DemoContent::everyExpositionLineRoundTrips()
{
    QFETCH(DemoSourceKind, kind);

    const DemoSource &exposition = source(kind);
    ExpositionBank bank(m_copy.path());
    QVERIFY(bank.openBank(DemoSource::expositionKind(kind)).ok());

    QHash<int, QList<DemoQuestion>> byChapter;
    for (const DemoQuestion &question : exposition.questions())
        byChapter[question.chapter].append(question);

    for (int chapter = 1; chapter <= ExpositionBank::kChapters; ++chapter) {
        const QList<DemoQuestion> questions = byChapter.value(chapter);
        const auto listing = bank.questionsOf(chapter);
        QVERIFY(listing.ok());
        QCOMPARE(listing->size(), questions.size());
        for (qsizetype i = 0; i < questions.size(); ++i) {
            const QuestionListing &row = listing->at(i);
            QVERIFY2(row.text == questions[i].text, qPrintable(where(exposition, questions[i])));
            const auto record = bank.readRecord(row.recordNumber);
            QVERIFY(record.ok());
            QCOMPARE(record->chapter, questions[i].chapter);
            QCOMPARE(ExpositionBank::displayText(record->text), questions[i].text);
        }
    }
    bank.closeBank();
}

QTEST_APPLESS_MAIN(tst_DemoContent)
#include "tst_DemoContent.moc"
