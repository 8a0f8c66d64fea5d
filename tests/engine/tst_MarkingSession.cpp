// The marking engine as both of its faces drive it: an exam of the history
// opened (or refused, and why), a pile marked against each version's key,
// the class list, the teacher's decisions from a file and one by one (kept
// in the history before they count), a new penalty, and the figures, whose
// mean is the mean of the grades the sheets show.

#include "BankBytes.h"
#include "MarkingSession.h"
#include "ScanGenerator.h"
#include "SheetRecords.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

using namespace bankBytes;
using namespace testFiles;

class tst_MarkingSession : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QHash<qint64, quint32> m_identifiers;

    // Sheet `serial` of `exam`, version `version`, marked with `answers`
    // (in that version's order) and scanned straight at 200 dpi.
    cv::Mat sheet(qint64 exam, int version, int serial, const QString &answers, const QString &dni)
    {
        QRandomGenerator random{quint32(serial)};
        const SheetSet set{exam, m_identifiers.value(exam), "Parcial", 2, 6, 1, 1};
        return scanGenerator::scan(set, version, serial, 0, answers, dni, 200,
                                   {scanGenerator::Pen::Cross}, {}, {}, false, random)
            .scan;
    }
    static QString summary(const MarkedSheet &sheet)
    {
        return QStringList{sheet.dni,
                           QString(QChar(u'A' + sheet.code.version)),
                           sheet.answers,
                           QString::number(sheet.points),
                           sheet.pointsPending() ? "-" : QString::number(sheet.grade),
                           sheet.pending ? "pendiente" : "",
                           sheet.name}
            .join(u'|');
    }
    std::optional<MarkingSession> open(ExamHistory &history, qint64 exam, double penalty = 1)
    {
        MarkingSession::Failure failure;
        QString reason;
        if (!history.open().isEmpty())
            return std::nullopt;
        return MarkingSession::open(history, exam, m_dir.path(), penalty, &failure, &reason);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The scans are named within the bank's folder, the working one.
        QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path()));
        // The bank holds a–f (S N S N S N) and g (S).
        QByteArray bank;
        for (const char *text : {"a", "b", "c", "d", "e", "f", "g"})
            bank += trueFalse(1, 1, text, text[0] % 2 == 1 ? 1 : 0);
        QVERIFY(writeFile("QELMEXT2.DAT", bank));
        // Exam 1: a–f, answers kept. Exam 2: the same in two versions.
        // Exam 3: exposition. Exam 4: answers not kept (an older history):
        // the bank's. Exam 5: one question the bank no longer holds.
        ExamHistory history("historial.sqlite");
        HistoryExam one{0, {}, false, "Parcial", 1, 0, {}};
        for (const char *text : {"a", "b", "c", "d", "e", "f"})
            one.questions.append({QuestionKind::TrueFalse, 1, 1, text, text[0] % 2 == 1});
        HistoryExam two = one;
        two.versions = 2;
        two.seed = 99;
        HistoryExam three{
            0, {}, true, "Final", 1, 0, {{QuestionKind::Brief, 1, 0, "x", std::nullopt}}};
        HistoryExam four = one;
        for (HistoryQuestion &question : four.questions)
            question.answer.reset();
        HistoryExam five = four;
        five.questions[5].text = "h";
        // Exam 6: 110 questions, two pages a sheet.
        HistoryExam six = one;
        for (int n = 6; n < 110; ++n)
            six.questions.append({QuestionKind::TrueFalse, 1, 2, QString::number(n), true});
        for (HistoryExam *exam : {&one, &two, &three, &four, &five, &six}) {
            QCOMPARE(history.record(*exam), QString());
            QString error;
            m_identifiers.insert(exam->id,
                                 sheetRecords::identifier(history, exam->id, &error).value_or(0));
        }
        // The pile: a sheet all right, one with a wrong answer and two
        // blanks, one with a dot in 2's Sí box and both boxes of 6 crossed,
        // and version B of exam 2 answered right. (A sheet scanned twice
        // and a page that is no sheet tst_SheetOrders::marksBecomeGrades
        // proves through the same engine.)
        QVERIFY(cv::imwrite("hoja1.png", sheet(1, 0, 1, "SNSNSN", "12345678")));
        QVERIFY(cv::imwrite("hoja2.png", sheet(1, 0, 2, "SSSN--", "87654321")));
        cv::Mat doubtful = sheet(1, 0, 3, "N-NSNS", "11111111");
        const auto at = [](double x, double y) {
            return cv::Point(int((10 + x) * 200 / 25.4), int((10 + y) * 200 / 25.4));
        };
        cv::circle(doubtful, at(33.5, 141.5), 4, cv::Scalar(20), cv::FILLED);
        cv::line(doubtful, at(42.6, 167.6), at(46.4, 171.4), cv::Scalar(30), 4);
        cv::line(doubtful, at(46.4, 167.6), at(42.6, 171.4), cv::Scalar(30), 4);
        QVERIFY(cv::imwrite("hoja3.png", doubtful));
        // Only the second page of a sheet of exam 6.
        QRandomGenerator random(6);
        const SheetSet set{6, m_identifiers.value(6), "Final", 1, 110, 1, 1};
        QVERIFY(cv::imwrite("pagina2.png",
                            scanGenerator::scan(set, 0, 1, 1, QString(10, u'S'), "", 200,
                                                {scanGenerator::Pen::Cross}, {}, {}, false, random)
                                .scan));
        const QList<qsizetype> orderB = two.versionOrders().value(1);
        QString rightB;
        for (const qsizetype position : orderB)
            rightB += two.questions[position].answer.value() ? u'S' : u'N';
        QVERIFY(cv::imwrite("version-b.png", sheet(2, 1, 4, rightB, "22222222")));
    }

    // Which exams can be marked, and why not the others.
    void anExamIsOpenedWithItsKey_data()
    {
        QTest::addColumn<qint64>("exam");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("key"); // version A's
        QTest::newRow("answers from the bank") << qint64(4) << 0 << ""
                                               << "SNSNSN";
        QTest::newRow("no such exam") << qint64(9) << int(MarkingSession::Failure::NoSuchExam) << ""
                                      << "";
        QTest::newRow("exposition") << qint64(3) << int(MarkingSession::Failure::Exposition) << ""
                                    << "";
        QTest::newRow("an answer no one knows")
            << qint64(5) << int(MarkingSession::Failure::NoKey)
            << "no se sabe la respuesta de la pregunta 6 (test, capítulo 1, tema 1): ya no está "
               "en el banco, y sin él no se sabe su respuesta"
            << "";
    }
    void anExamIsOpenedWithItsKey()
    {
        QFETCH(qint64, exam);
        ExamHistory history("historial.sqlite");
        QCOMPARE(history.open(), QString());
        MarkingSession::Failure failed;
        QString why;
        const std::optional<MarkingSession> session =
            MarkingSession::open(history, exam, m_dir.path(), 1, &failed, &why);
        QTEST(int(failed), "failure");
        QTEST(why, "reason");
        QString letters;
        for (const bool yes : session ? session->key().answers.value(0) : QList<bool>())
            letters += yes ? u'S' : u'N';
        QTEST(letters, "key");
    }

    void aPileBecomesGrades_data()
    {
        QTest::addColumn<qint64>("exam");
        QTest::addColumn<QStringList>("scans");
        QTest::addColumn<double>("penalty");
        QTest::addColumn<QString>("decisions"); // serial:item=value, …
        QTest::addColumn<QString>("students");  // dni=name, …
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<int>("doubts");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("half a point off, decided, named")
            << qint64(1) << QStringList{"hoja1.png", "hoja2.png", "hoja3.png"} << 0.5
            << "3:2=-,3:6=-,2:dni=87654320"
            << "12345678=Ana,87654320=Luis,99999999=Eva"
            << QStringList{"12345678|A|SNSNSN|6|10||Ana", "87654320|A|SSSN--|2.5|4.17||Luis",
                           "11111111|A|N-NSN-|0|0||"}
            << 0 << QStringList{}
            << QStringList{"el DNI 11111111 de la hoja 1-ID-A-003 no está en la lista de alumnos"}
            << QStringList{"99999999 Eva"};
        QTest::newRow("version B against its own key")
            << qint64(2) << QStringList{"version-b.png"} << 1.0 << ""
            << "" << QStringList{"22222222|B||6|10||"} << 0 << QStringList{} << QStringList{}
            << QStringList{};
        // Nothing to look at for the questions of a page not scanned: the
        // note says the page is missing, once.
        QTest::newRow("the first page missing")
            << qint64(6) << QStringList{"pagina2.png"} << 1.0 << ""
            << ""
            << QStringList{"????????|A|" + QString(100, u'?') + QString(10, u'S') +
                           "|10|-|pendiente|"}
            << 0 << QStringList{}
            << QStringList{"falta la página 1 de la hoja 6-ID-A-001: sus preguntas quedan dudosas"}
            << QStringList{};
        QTest::newRow("a sheet of another exam")
            << qint64(4) << QStringList{"hoja1.png"} << 1.0 << ""
            << "" << QStringList{} << 0
            << QStringList{"página 1 de hoja1.png: es una hoja de otro examen (el 1)"}
            << QStringList{} << QStringList{};
    }
    void aPileBecomesGrades()
    {
        QFETCH(qint64, exam);
        QFETCH(QStringList, scans);
        QFETCH(double, penalty);
        QFETCH(QString, decisions);
        QFETCH(QString, students);
        ExamHistory history("historial.sqlite");
        std::optional<MarkingSession> session = open(history, exam, penalty);
        QVERIFY(session);
        const QString id =
            QString("%1").arg(m_identifiers.value(exam), 8, 16, QChar(u'0')).toUpper();
        QHash<QString, Decisions> decided;
        for (const QString &decision : decisions.split(u',', Qt::SkipEmptyParts)) {
            const QString serial = decision.section(u':', 0, 0);
            decided[QString("%1-%2-A-00%3").arg(exam).arg(id, serial)].insert(
                decision.section(u':', 1).section(u'=', 0, 0), decision.section(u'=', 1));
        }
        session->addDecisions(decided);
        QHash<QString, QString> list;
        for (const QString &student : students.split(u',', Qt::SkipEmptyParts))
            list.insert(student.section(u'=', 0, 0), student.section(u'=', 1));
        session->setStudents(list);
        const MarkingResult &result = session->mark(scans, SheetMarking::Images::None);
        QStringList shown;
        for (const MarkedSheet &sheet : result.sheets)
            shown << summary(sheet);
        if (exam == 2) // version B's answers are in its own order
            shown.first() =
                shown.first().section(u'|', 0, 1) + "||" + shown.first().section(u'|', 3);
        QTEST(shown, "sheets");
        QTEST(int(result.doubts.size()), "doubts");
        QStringList refusals;
        for (const Refusal &refusal : result.refusals)
            refusals << refusal.line();
        QTEST(refusals, "refused");
        QStringList said;
        for (const QString &note : result.notes)
            said << QString(note).replace(id, "ID");
        QTEST(said, "notes");
        QTEST(session->absent(), "absent");
    }

    // A teacher's word counts once the history keeps it; the penalty
    // changes the grades without reading again; the figures agree with them.
    void decisionsAreKeptAndGradesFollow()
    {
        ExamHistory history("historial.sqlite");
        std::optional<MarkingSession> session = open(history, 1);
        QVERIFY(session);
        session->mark({"hoja1.png", "hoja2.png", "hoja3.png"}, SheetMarking::Images::Bounded);
        QCOMPARE(session->record(history), QString());
        QCOMPARE(session->pendingSheets(), 1); // as read: two doubts on the third sheet
        QCOMPARE(session->result().doubts.size(), 2);

        QCOMPARE(session->decide(nullptr, 2, "2", "S"), "el historial no está abierto");
        QCOMPARE(session->result().sheets[2].answers, "N?NSNX");
        QCOMPARE(session->decide(&history, 2, "2", "S"), QString());
        QCOMPARE(session->decide(&history, 2, "6", "N"), QString());
        QCOMPARE(summary(session->result().sheets[2]), "11111111|A|NSNSNN|0|0||");
        QCOMPARE(session->result().doubts.size(), 0);
        QString error;
        QCOMPARE(sheetRecords::decisions(history, 1, &error).value({0, 3}),
                 (sheetRecords::Decisions{{"2", "S"}, {"6", "N"}}));

        session->setPenalty(0.25);
        QStringList grades;
        double sum = 0;
        for (const MarkedSheet &sheet : session->result().sheets) {
            grades << QString::number(sheet.grade);
            sum += sheet.grade;
        }
        QCOMPARE(grades, (QStringList{"10", "4.58", "0"}));
        int pending = -1;
        const std::optional<ExamFigures> figures = session->figures(history, &pending);
        QVERIFY(figures);
        QCOMPARE(pending, 0);
        QCOMPARE(figures->sheets, 3);
        QCOMPARE(figures->mean, sum / 3);
    }

    // Within the memory bound the first pages are kept as they are and the
    // rest compressed; beyond it they are read again. Each way a page comes
    // back pixel for pixel as it was read.
    void pagesKeptWithinTheBoundComeBackWhole_data()
    {
        QTest::addColumn<double>("pages"); // the bound, in straightened pages
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("packed");
        QTest::newRow("room for all") << 6.0 << 3 << 0;
        QTest::newRow("room for one and the rest compressed") << 3.0 << 1 << 2;
        QTest::newRow("room for none") << 0.0 << 0 << 0;
    }
    void pagesKeptWithinTheBoundComeBackWhole()
    {
        QFETCH(double, pages);
        ExamHistory history("historial.sqlite");
        const std::optional<MarkingSession> session = open(history, 1);
        QVERIFY(session);
        const QStringList pile{"hoja1.png", "hoja2.png", "hoja3.png"};
        SheetMarking marking(session->key());
        const MarkingResult read = marking.mark(pile, {}, SheetMarking::Images::Whole);
        QCOMPARE(read.sheets.size(), 3);
        marking.keepWithin(qint64(pages * double(read.sheets[0].pages[0].straight.total())));
        const MarkingResult kept = marking.mark(pile, {}, SheetMarking::Images::Bounded);
        int wholeKept = 0;
        int packedKept = 0;
        for (qsizetype i = 0; i < 3; ++i) {
            const sheetReader::PageReading &page = kept.sheets[i].pages[0];
            wholeKept += !page.straight.empty();
            packedKept += !page.packed.isEmpty();
            QVERIFY(page.packed.isEmpty() ||
                    page.packed.size() < qsizetype(read.sheets[i].pages[0].straight.total() / 2));
            const cv::Mat back = markedPage(kept.sheets[i], 0, 6);
            QCOMPARE(back.size(), read.sheets[i].pages[0].straight.size());
            QCOMPARE(cv::norm(back, read.sheets[i].pages[0].straight, cv::NORM_INF), 0.0);
        }
        QTEST(wholeKept, "whole");
        QTEST(packedKept, "packed");
    }
};

QTEST_MAIN(tst_MarkingSession)
#include "tst_MarkingSession.moc"
