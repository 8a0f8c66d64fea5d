// The exposition bank: the record layout, the index by chapter, what the
// teacher is told on opening, appends and their refusals, and modifications
// and deletions through a replaced file, for each kind.

#include "BankBytes.h"
#include "ExpositionBank.h"
#include "OpenFiles.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testFiles;

// A record of the kind built byte by byte.
static QByteArray record(ExpositionKind kind, int chapter, const QByteArray &text)
{
    return bankBytes::exposition(expositionKindInfo(kind).recordLength, chapter, text);
}

class tst_ExpositionBank : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); }
    // Chapter 4's questions as the bank lists them.
    static QStringList textsOf(ExpositionBank &bank)
    {
        QStringList texts;
        const BankResult<QList<QuestionListing>> listed = bank.questionsOf(4);
        for (const QuestionListing &row : listed.value())
            texts << row.text;
        return texts;
    }
    // The texts of the kind's only file, in file order.
    QStringList fileTexts(ExpositionKind kind) const
    {
        const QStringList names = entries();
        if (names.size() != 1)
            return names;
        const int length = expositionKindInfo(kind).recordLength;
        const QByteArray bytes = readFile(path(names.first()));
        QStringList texts;
        for (qsizetype at = 0; at + length <= bytes.size(); at += length)
            texts << QString::fromLatin1(bytes.mid(at + 2, length - 2)).trimmed();
        return texts;
    }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    void exampleConceptualRecordIsByteForByte()
    {
        const ExpositionRecord example{5, QStringLiteral("abc")};
        QCOMPARE(example.toBytes(ExpositionKind::Conceptual).value(),
                 QByteArray::fromHex("0500616263") + QByteArray(497, ' '));
    }

    void indexListsEachChapterInFileOrder()
    {
        QByteArray bytes;
        for (int chapter : {2, 2, 7, 2, 1, 3, 3, 3, 7})
            bytes += record(ExpositionKind::Brief, chapter,
                            "e" + QByteArray::number(bytes.size() / 152 + 1));
        QVERIFY(writeFile(path(QStringLiteral("QELMEXE3.DAT")), bytes));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        QCOMPARE(bank.index().recordNumbers(7), (QList<qint32>{3, 9}));
        const QList<QuestionListing> expected = {{1, 3, QStringLiteral("e3"), QString()},
                                                 {2, 9, QStringLiteral("e9"), QString()}};
        QCOMPARE(bank.questionsOf(7).value(), expected);
    }

    // 1,757 bytes: three whole records, one of them under no chapter, and
    // 251 bytes of a fourth; an older file whose name differs only by case.
    void whatCannotBeListedIsToldOnceAndTheTornTailIsNotBuiltUpon()
    {
        const auto conceptual = ExpositionKind::Conceptual;
        QVERIFY(writeFile(path(QStringLiteral("Qelmexe1.dat")), record(conceptual, 4, "antigua")));
        QVERIFY(setModified(path(QStringLiteral("Qelmexe1.dat")),
                            QDateTime::currentDateTimeUtc().addSecs(-60)));
        const QByteArray whole =
            record(conceptual, 1, "a") + record(conceptual, 0, "b") + record(conceptual, 1, "c");
        QVERIFY(writeFile(path(QStringLiteral("QELMEXE1.DAT")),
                          whole + record(conceptual, 1, "d").left(251)));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(conceptual).ok());
        QCOMPARE(bank.recordCount(), 3);
        QCOMPARE(bank.roundedRecordCount(), 4);
        QCOMPARE(bank.trailingBytes(), 251);
        QCOMPARE(bank.index().recordNumbers(1), (QList<qint32>{1, 3}));
        QCOMPARE(bank.caseVariants(), QStringList{"Qelmexe1.dat"});
        QCOMPARE(bank.openingNotes(),
                 QString::fromUtf8(
                     "1 preguntas del fichero no se pueden mostrar: 1 con el capítulo fuera de 1 "
                     "a 22. Se conservan en el fichero tal como están, también cuando se elimina "
                     "otra pregunta.\n"
                     "El fichero QELMEXE1.DAT termina con 251 bytes que no llegan a formar una "
                     "pregunta, restos de una escritura interrumpida: no se muestran, y la "
                     "próxima pregunta que se añada ocupará su lugar.\n"
                     "En la misma carpeta hay otros ficheros cuyo nombre solo se distingue de "
                     "QELMEXE1.DAT por las mayúsculas: Qelmexe1.dat. Se usa QELMEXE1.DAT, el más "
                     "reciente; los demás se dejan como están y no se modifican."));

        QCOMPARE(bank.appendRecord(1, QStringLiteral("nueva")).value(), 4);
        QCOMPARE(readFile(path(QStringLiteral("QELMEXE1.DAT"))),
                 whole + record(conceptual, 1, "nueva"));
        QCOMPARE(bank.index().recordNumbers(1), (QList<qint32>{1, 3, 4}));
        QCOMPARE(readFile(path(QStringLiteral("Qelmexe1.dat"))), record(conceptual, 4, "antigua"));
    }

    void appendRefusesBeforeWriting_data()
    {
        QTest::addColumn<ExpositionKind>("kind");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        QTest::newRow("chapter 0")
            << ExpositionKind::Practical << 0 << "x" << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("chapter 23")
            << ExpositionKind::Practical << 23 << "x" << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("101st conceptual")
            << ExpositionKind::Conceptual << 3 << "x" << BankErrorCode::ChapterFull;
        QTest::newRow("101st brief is taken")
            << ExpositionKind::Brief << 3 << "x" << BankErrorCode::None;
        QTest::newRow("201st brief")
            << ExpositionKind::Brief << 4 << "x" << BankErrorCode::ChapterFull;
        QTest::newRow("unencodable") << ExpositionKind::Brief << 1 << QString::fromUtf8("€ y ✓")
                                     << BankErrorCode::TextNotEncodable;
    }
    void appendRefusesBeforeWriting()
    {
        QFETCH(ExpositionKind, kind);
        QFETCH(int, chapter);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        // Chapter 3 holds 100 questions, chapter 4 200.
        const QByteArray bytes =
            record(kind, 3, "q").repeated(100) + record(kind, 4, "q").repeated(200);
        const QString name = expositionKindInfo(kind).loadName;
        QVERIFY(writeFile(path(name), bytes));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(kind).ok());
        const BankResult<qint32> added = bank.appendRecord(chapter, text);
        QCOMPARE(added.error().code, refusal);
        if (refusal == BankErrorCode::None)
            QCOMPARE(readFile(path(name)), bytes + record(kind, chapter, text.toLatin1()));
        else
            QCOMPARE(readFile(path(name)), bytes);
    }

    void deletingARecordRenumbersTheRest_data()
    {
        QTest::addColumn<ExpositionKind>("kind");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QByteArray>("expected");    // the new file
        QTest::addColumn<QList<qint32>>("chapter7"); // record numbers afterwards
        // The file: a under chapter 7, b under chapter 1, c under chapter 7.
        const auto conceptual = ExpositionKind::Conceptual;
        const auto practical = ExpositionKind::Practical;
        const auto brief = ExpositionKind::Brief;
        QTest::newRow("first conceptual")
            << conceptual << 1 << record(conceptual, 1, "b") + record(conceptual, 7, "c")
            << QList<qint32>{2};
        QTest::newRow("middle practical")
            << practical << 2 << record(practical, 7, "a") + record(practical, 7, "c")
            << QList<qint32>{1, 2};
        QTest::newRow("last brief")
            << brief << 3 << record(brief, 7, "a") + record(brief, 1, "b") << QList<qint32>{1};
    }
    void deletingARecordRenumbersTheRest()
    {
        QFETCH(ExpositionKind, kind);
        QFETCH(int, deleted);
        QFETCH(QByteArray, expected);
        QFETCH(QList<qint32>, chapter7);
        QVERIFY(writeFile(path(expositionKindInfo(kind).loadName),
                          record(kind, 7, "a") + record(kind, 1, "b") + record(kind, 7, "c")));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(kind).ok());
        QVERIFY(bank.deleteRecord(deleted).ok());
        QCOMPARE(entries(), QStringList{expositionKindInfo(kind).rewriteName});
        QCOMPARE(readFile(path(expositionKindInfo(kind).rewriteName)), expected);
        QCOMPARE(bank.recordCount(), 2);
        QCOMPARE(bank.index().recordNumbers(7), chapter7);
        // Opening the kind again, under its load name, finds the rewritten file.
        QVERIFY(bank.openBank(kind).ok());
        QCOMPARE(bank.recordCount(), 2);
    }

    // Record 9 of a conceptual file lies across the first 4 KiB boundary.
    void aModifiedRecordIsRewrittenWhole()
    {
        const auto conceptual = ExpositionKind::Conceptual;
        QByteArray bytes;
        for (int n = 1; n <= 10; ++n)
            bytes += record(conceptual, 2, "pregunta " + QByteArray::number(n));
        QVERIFY(writeFile(path(QStringLiteral("QELMEXE1.DAT")), bytes));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(conceptual).ok());
        const QString longer = QString(600, QLatin1Char('m'));
        QVERIFY(bank.writeRecord(9, {2, longer}).ok());
        QCOMPARE(readFile(path(QStringLiteral("Qelmexe1.dat"))),
                 bytes.left(8 * 502) + record(conceptual, 2, QByteArray(500, 'm')) +
                     bytes.mid(9 * 502));
        // One past the last record extends the file, and the index lists it.
        QVERIFY(bank.writeRecord(11, {5, QStringLiteral("once")}).ok());
        QCOMPARE(bank.index().recordNumbers(5), QList<qint32>{11});
        QCOMPARE(bank.writeRecord(13, {5, QStringLiteral("x")}).code, BankErrorCode::NoSuchRecord);
    }

    // A second bank on the same folder changes the kind's file first: this
    // bank's change writes nothing and reloads, so no question is overwritten,
    // moved or brought back; the same change made again then goes through.
    void aChangeAfterAnotherBanksChangeWritesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QStringList>("between"); // texts after the refused change
        QTest::addColumn<QStringList>("after");   // texts once it is made again
        for (const int kind : {0, 1, 2}) {
            const auto row = [kind](const char *name, const char *other, const char *mine,
                                    const QStringList &between, const QStringList &after) {
                QTest::newRow(qPrintable(expositionKindInfo(ExpositionKind(kind)).caption + ": " +
                                         QLatin1String(name)))
                    << kind << QString::fromLatin1(other) << QString::fromLatin1(mine) << between
                    << after;
            };
            row("deletion there, modification here", "delete 1", "modify 2", {"b", "c"},
                {"nueva", "c"});
            row("addition there, deletion here", "append", "delete 3", {"a", "b", "c", "x"},
                {"a", "b", "x"});
            row("deletion there, writing one past the end here", "delete 3", "write 4", {"a", "b"},
                {"a", "b", "nueva"});
            row("addition there, addition here", "append", "append", {"a", "b", "c", "x"},
                {"a", "b", "c", "x", "nueva"});
        }
    }
    void aChangeAfterAnotherBanksChangeWritesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, other);
        QFETCH(QString, mine);
        QFETCH(QStringList, between);
        QFETCH(QStringList, after);
        const ExpositionKind k = ExpositionKind(kind);
        QVERIFY(writeFile(path(expositionKindInfo(k).loadName),
                          record(k, 4, "a") + record(k, 4, "b") + record(k, 4, "c")));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(k).ok());
        ExpositionBank second(m_dir->path());
        QVERIFY(second.openBank(k).ok());
        if (other == "append")
            QVERIFY(second.appendRecord(4, QStringLiteral("x")).ok());
        else
            QVERIFY(second.deleteRecord(other.mid(7).toInt()).ok());

        const auto change = [&] {
            const int n = mine.section(u' ', 1).toInt();
            if (mine.startsWith("delete"))
                return bank.deleteRecord(n);
            if (mine.startsWith("append"))
                return bank.appendRecord(4, QStringLiteral("nueva")).error();
            // "modify 2" lands on the same number the second time: the
            // teacher picked it again from the reloaded list.
            return bank.writeRecord(mine.startsWith("write") ? bank.recordCount() + 1 : n,
                                    {4, QStringLiteral("nueva")});
        };
        QCOMPARE(change().code, BankErrorCode::ChangedElsewhere);
        QCOMPARE(textsOf(bank), between);
        QCOMPARE(fileTexts(k), between);
        const int n = mine.section(u' ', 1).toInt();
        if (mine.startsWith("delete") || mine.startsWith("modify"))
            mine = mine.section(u' ', 0, 0) + u' ' + QString::number(n - (other != "append"));
        QVERIFY(change().ok());
        QCOMPARE(fileTexts(k), after);
        QCOMPARE(textsOf(bank), after);
    }
};

QTEST_GUILESS_MAIN(tst_ExpositionBank)
#include "tst_ExpositionBank.moc"
