// The marked sheets of tests/sheets/independent, drawn and captured by a tool
// of their own (tools/independent-scans/make_set.py: hand strokes, flatbed, copier, phone on a
// desk), not by the scan generator the reader is measured with. Each image is read as the program
// reads a scan, and checked against what the student meant, as truth.tsv beside the images states
// it: a sheet is read and a page that is no sheet is refused; no answer and no DNI digit is read
// wrongly (an ambiguous mark may be doubtful); a clear mark is seldom left doubtful.

#include "ScanFile.h"
#include "SheetCode.h"
#include "SheetReader.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kFolder = QStringLiteral(ORVALIS_INDEPENDENT_SCANS_DIR);

// A clear mark left doubtful is not a wrong answer, but it sends the
// teacher to look: at most this many on one page.
constexpr int kMostDoubtfulClearMarks = 1;

struct Truth
{
    QString file;
    int questions = 0;
    int page = 0;  // 1-based
    int first = 0; // number of the first question on the page
    bool mustRead = false;
    QStringList accept;    // per question: the readings that are not wrong
    QString meant;         // per question: S, N or -
    QStringList dniAccept; // per column; empty when the page has no DNI
    QStringList kinds;     // per question: the kind of mark, to name a failure by
    QString capture, marks;
};

QList<Truth> readTruth(QString *error)
{
    QFile file(QDir(kFolder).filePath(QStringLiteral("truth.tsv")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return {};
    }
    QList<Truth> rows;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (line.startsWith(u'#') || line.startsWith(QStringLiteral("file\t")))
            continue;
        const QStringList f = line.split(u'\t');
        if (f.size() != 14) {
            *error = QStringLiteral("a line of %1 fields: %2").arg(f.size()).arg(line);
            return {};
        }
        Truth t;
        t.file = f[0];
        t.capture = f[1];
        t.questions = f[3].toInt();
        t.page = f[4].toInt();
        t.first = f[5].toInt();
        t.mustRead = f[6] == QStringLiteral("read");
        t.meant = f[7];
        if (t.mustRead) {
            t.accept = f[8].split(u' ');
            t.kinds = f[13].split(u' ');
            if (f[10] != QStringLiteral("-"))
                t.dniAccept = f[10].split(u' ');
            if (t.accept.size() != t.meant.size() || t.kinds.size() != t.meant.size()) {
                *error = QStringLiteral("%1: %2 readings accepted for %3 questions")
                             .arg(t.file)
                             .arg(t.accept.size())
                             .arg(t.meant.size());
                return {};
            }
        }
        t.marks = f[12];
        rows.append(t);
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Truth)

class tst_IndependentScans : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyImageHasItsTruth()
    {
        QString error;
        const QList<Truth> truth = readTruth(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList described;
        for (const Truth &t : truth)
            described << t.file;
        described.sort();
        const QStringList images = QDir(kFolder).entryList(
            {QStringLiteral("*.jpg"), QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(described, images);
        QVERIFY(images.size() >= 16);
    }

    void imagesReadAsTheStudentMeant_data()
    {
        QTest::addColumn<Truth>("truth");
        QString error;
        const QList<Truth> truth = readTruth(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const Truth &t : truth)
            QTest::newRow(qPrintable(t.file)) << t;
    }

    void imagesReadAsTheStudentMeant()
    {
        QFETCH(Truth, truth);
        const cv::Mat grey = scanFile::page(QDir(kFolder).filePath(truth.file), 0);
        QVERIFY2(!grey.empty(), "the image cannot be loaded");
        int asked = 0;
        const sheetReader::PageReading reading =
            sheetReader::read(grey, [&](const SheetCode &, QString *) -> std::optional<int> {
                ++asked;
                return truth.questions;
            });

        if (!truth.mustRead) {
            // No code is printed on it: nothing to ask about, refused.
            QCOMPARE(asked, 0);
            QVERIFY2(!reading.refusal.isEmpty(), "a page that is no answer sheet was read");
            return;
        }
        QVERIFY2(reading.refusal.isEmpty(),
                 qPrintable(QStringLiteral("refused (%1, %2): %3")
                                .arg(truth.capture, truth.marks, reading.refusal)));
        QCOMPARE(reading.code.page, truth.page - 1);
        QCOMPARE(reading.answers.size(), truth.meant.size());

        QStringList wrong, doubtfulClear;
        for (qsizetype i = 0; i < truth.meant.size(); ++i) {
            const QChar read = reading.answers[i];
            const QString &accepted = truth.accept[i];
            const int number = truth.first + int(i);
            if (accepted.contains(read))
                continue;
            if (read == u'?' && accepted.size() == 1)
                doubtfulClear << QStringLiteral("%1 (%2)").arg(number).arg(truth.kinds[i]);
            else
                wrong << QStringLiteral("%1 read %2, meant %3 (may be %4; %5)")
                             .arg(number)
                             .arg(read)
                             .arg(truth.meant[i])
                             .arg(accepted, truth.kinds[i]);
        }
        if (!truth.dniAccept.isEmpty()) {
            QCOMPARE(reading.dni.size(), truth.dniAccept.size());
            for (qsizetype c = 0; c < truth.dniAccept.size(); ++c) {
                const QChar read = reading.dni[c];
                if (truth.dniAccept[c].contains(read))
                    continue;
                if (read == u'?')
                    doubtfulClear << QStringLiteral("dni %1").arg(c + 1);
                else
                    wrong << QStringLiteral("dni column %1 read %2, meant %3")
                                 .arg(c + 1)
                                 .arg(read)
                                 .arg(truth.dniAccept[c]);
            }
        }
        qInfo("%s: %lld wrong, %lld clear marks doubtful%s%s", qPrintable(truth.file),
              qlonglong(wrong.size()), qlonglong(doubtfulClear.size()),
              doubtfulClear.isEmpty() ? "" : ": ", qPrintable(doubtfulClear.join(u' ')));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
        QVERIFY2(
            doubtfulClear.size() <= kMostDoubtfulClearMarks,
            qPrintable(QStringLiteral("clear marks left doubtful: ") + doubtfulClear.join(u' ')));
    }
};

QTEST_MAIN(tst_IndependentScans)
#include "tst_IndependentScans.moc"
