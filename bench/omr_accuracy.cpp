// The accuracy run of the sheet reader (scripts/omr-accuracy N): N sheets
// of random answers and DNIs, each marked by one student's hand with the
// kinds of mark students make, captured by one kind of scanner, copier or
// phone, at 150 to 600 dpi, read back on every core. Prints per kind of mark
// and per kind of capture the marks read wrongly (the goal is none), the
// marks left doubtful, the pages refused and the sheets needing a look, and
// the reading time per page. Most students mark cleanly: a sheet in four
// also has one to three ambiguous marks (a light cross, a box cancelled
// alone, a fill in a hurry, an erasure).

#include "ScanGenerator.h"
#include "SheetLayout.h"
#include "SheetReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentMap>
#include <opencv2/imgcodecs.hpp>

#include <array>
#include <cstdio>
#include <numeric>

namespace {

using scanGenerator::Capture;
using scanGenerator::Pen;

// The first six pens are clear marks; the rest are ambiguous. Then the
// names the report gives pens and captures.
bool isClear(Pen pen)
{
    return int(pen) <= int(Pen::Corrected);
}

QString penName(Pen pen)
{
    static const char *const names[] = {
        "cruz",      "visto",      "cruz gruesa",  "cruz pequeña",    "trazo de fuera",
        "corregida", "cruz clara", "anulada sola", "relleno a prisa", "borrada"};
    return QString::fromUtf8(names[int(pen)]);
}

QString captureName(Capture capture)
{
    static const char *const names[] = {"escáner", "fotocopiadora", "del revés",
                                        "girada",  "móvil",         "móvil en la mesa",
                                        "color",   "esquina tapada"};
    return QString::fromUtf8(names[int(capture)]);
}

struct Tally
{
    int marks = 0, wrong = 0, doubtful = 0;
    void add(const Tally &other)
    {
        marks += other.marks, wrong += other.wrong, doubtful += other.doubtful;
    }
};

struct Outcome
{
    Capture capture = Capture::Scan;
    bool read = false, fortyQuestions = false, needsLook = false, ambiguous = false;
    QString refusal, note, detail;
    std::array<Tally, scanGenerator::kPens + 1> byPen{}; // the last: DNI digits
    qint64 nanoseconds = 0;
};

Outcome one(int n)
{
    QRandomGenerator random(quint32(n) * 7919u + 17u);
    SheetSet set;
    set.exam = 1 + random.bounded(500);
    set.identifier = random.generate();
    set.title = QStringLiteral("Parcial de Marketing");
    set.versions = 4;
    set.questions = random.bounded(5) == 0 ? 100 : 40;
    QString answers;
    for (int q = 0; q < set.questions; ++q)
        answers += random.bounded(10) == 0 ? u'-' : random.bounded(2) ? u'S' : u'N';
    QString dni;
    for (int d = 0; d < SheetLayout::kDniDigits; ++d)
        dni += QChar(u'0' + random.bounded(10));
    const double dpis[] = {150, 200, 200, 300, 300, 600};
    const double dpi = dpis[random.bounded(n % 50 == 0 ? 6 : 5)];
    Outcome outcome;
    outcome.capture = Capture(n % scanGenerator::kCaptures);
    outcome.fortyQuestions = set.questions == 40;
    QList<Pen> pens{Pen::Cross,     Pen::Cross,        Pen::Cross,     Pen::Cross,
                    Pen::Tick,      Pen::Tick,         Pen::BoldCross, Pen::SmallCross,
                    Pen::Corrected, Pen::OutsideStroke};
    // A student in four leaves one to three ambiguous marks.
    QMap<int, Pen> odd;
    if (random.bounded(4) == 0)
        for (int i = 1 + random.bounded(3); i > 0; --i)
            odd.insert(random.bounded(40), Pen(int(Pen::LightCross) + random.bounded(4)));
    outcome.ambiguous = !odd.isEmpty();
    const scanGenerator::Distortion distortion =
        scanGenerator::distortionFor(outcome.capture, random);
    const scanGenerator::Hand hand = scanGenerator::randomHand(random, distortion.colour);
    const int version = random.bounded(4), serial = 1 + random.bounded(300);
    const scanGenerator::Marked marked =
        scanGenerator::scan(set, version, serial, 0, answers, dni, dpi, pens, hand, distortion,
                            random.bounded(3) == 0, random, odd);
    QElapsedTimer clock;
    clock.start();
    const sheetReader::PageReading reading = sheetReader::read(
        marked.scan, [&](const SheetCode &code, QString *refusal) -> std::optional<int> {
            if (code.exam != set.exam || code.identifier != set.identifier ||
                code.version != version || code.serial != serial) {
                *refusal = QStringLiteral("código leído mal");
                return std::nullopt;
            }
            return set.questions;
        });
    outcome.nanoseconds = clock.nsecsElapsed();
    outcome.read = reading.refusal.isEmpty();
    outcome.refusal = reading.refusal;
    outcome.note = reading.note;
    const QByteArray dump = qgetenv("OMR_DUMP"); // a folder for the pages refused or misread
    if (!outcome.read) {
        if (!dump.isEmpty())
            cv::imwrite(QStringLiteral("%1/refused-%2.png")
                            .arg(QString::fromLocal8Bit(dump))
                            .arg(n)
                            .toStdString(),
                        marked.scan);
        if (!dump.isEmpty() && !reading.straight.empty())
            cv::imwrite(QStringLiteral("%1/straight-%2.png")
                            .arg(QString::fromLocal8Bit(dump))
                            .arg(n)
                            .toStdString(),
                        reading.straight);
        return outcome;
    }
    const auto count = [&](Tally &tally, QChar meant, QChar got) {
        ++tally.marks;
        if (got == u'?' || (got == u'X' && meant != u'X'))
            ++tally.doubtful, outcome.needsLook = true;
        else if (got != meant)
            ++tally.wrong;
    };
    for (qsizetype q = 0; q < marked.answers.size(); ++q)
        count(outcome.byPen[size_t(marked.pens[q])], marked.answers[q], reading.answers[q]);
    for (qsizetype d = 0; d < marked.dni.size(); ++d)
        count(outcome.byPen[scanGenerator::kPens], marked.dni[d], reading.dni[d]);
    const bool misread = std::any_of(outcome.byPen.begin(), outcome.byPen.end(),
                                     [](const Tally &tally) { return tally.wrong > 0; });
    if (misread && !dump.isEmpty())
        cv::imwrite(QStringLiteral("%1/wrong-%2.png")
                        .arg(QString::fromLocal8Bit(dump))
                        .arg(n)
                        .toStdString(),
                    marked.scan);
    if (outcome.needsLook || reading.answers + reading.dni != marked.answers + marked.dni) {
        QString kinds;
        for (const Pen pen : marked.pens)
            kinds += QChar(u'0' + int(pen));
        outcome.detail =
            QStringLiteral("hoja %1 (%2, %3 ppp):\n  leído  %4\n  marcado %5\n  marcas  %6")
                .arg(n)
                .arg(captureName(outcome.capture))
                .arg(dpi)
                .arg(reading.answers + u' ' + reading.dni, marked.answers + u' ' + marked.dni,
                     kinds);
    }
    return outcome;
}

void printRow(const QString &name, const Tally &tally, const QString &extra = {})
{
    std::printf("  %-18s %7d %7d %7d (%5.2f %%)%s\n", qPrintable(name), tally.marks, tally.wrong,
                tally.doubtful, tally.marks ? 100.0 * tally.doubtful / tally.marks : 0.0,
                qPrintable(extra));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const bool verbose = argc > 2;
    QList<int> sheets(count);
    std::iota(sheets.begin(), sheets.end(), 0);
    const QList<Outcome> outcomes = QtConcurrent::blockingMapped(sheets, one);

    std::array<Tally, scanGenerator::kPens + 1> byPen{};
    std::array<Tally, scanGenerator::kCaptures> byCapture{};
    std::array<int, scanGenerator::kCaptures> pages{}, refused{}, forty{}, looks{}, three{};
    Tally clear;
    int read = 0, wrong = 0, fortyAll = 0, fortyLooks = 0, fortyClear = 0, fortyClearLooks = 0;
    qint64 nanoseconds = 0;
    for (const Outcome &outcome : outcomes) {
        const int c = int(outcome.capture);
        ++pages[size_t(c)];
        read += outcome.read ? 1 : 0;
        refused[size_t(c)] += outcome.read ? 0 : 1;
        three[size_t(c)] += outcome.note.isEmpty() ? 0 : 1;
        nanoseconds += outcome.nanoseconds;
        if (outcome.read && outcome.fortyQuestions) {
            ++forty[size_t(c)], ++fortyAll;
            looks[size_t(c)] += outcome.needsLook ? 1 : 0;
            fortyLooks += outcome.needsLook ? 1 : 0;
            if (!outcome.ambiguous)
                ++fortyClear, fortyClearLooks += outcome.needsLook ? 1 : 0;
        }
        for (size_t p = 0; p < outcome.byPen.size(); ++p) {
            byPen[p].add(outcome.byPen[p]);
            byCapture[size_t(c)].add(outcome.byPen[p]);
            wrong += outcome.byPen[p].wrong;
            if (p == size_t(scanGenerator::kPens) || isClear(Pen(p)))
                clear.add(outcome.byPen[p]);
        }
        if (!outcome.read)
            std::printf("no leída (%s): %s\n", qPrintable(captureName(outcome.capture)),
                        qPrintable(outcome.refusal));
        else if (verbose && !outcome.detail.isEmpty())
            std::printf("%s\n", qPrintable(outcome.detail));
    }
    std::printf("por marca:             marcas    mal  dudosas\n");
    for (int p = 0; p < scanGenerator::kPens; ++p)
        printRow(penName(Pen(p)) + (isClear(Pen(p)) ? u'*' : u' '), byPen[size_t(p)]);
    printRow(QStringLiteral("cifra del DNI*"), byPen[scanGenerator::kPens]);
    printRow(QStringLiteral("claras (*)"), clear);
    std::printf("por captura:           marcas    mal  dudosas          páginas rechazadas "
                "con 3 esquinas  hojas de 40 a mirar\n");
    for (int c = 0; c < scanGenerator::kCaptures; ++c)
        printRow(captureName(Capture(c)), byCapture[size_t(c)],
                 QStringLiteral("  %1 %2 %3  %4 de %5")
                     .arg(pages[size_t(c)], 7)
                     .arg(refused[size_t(c)], 10)
                     .arg(three[size_t(c)], 14)
                     .arg(looks[size_t(c)], 8)
                     .arg(forty[size_t(c)]));
    std::printf("hojas: %d, leídas: %d\n", count, read);
    std::printf("marcas leídas mal: %d\n", wrong);
    std::printf("marcas claras dudosas: %d de %d (%.2f %%)\n", clear.doubtful, clear.marks,
                clear.marks ? 100.0 * clear.doubtful / clear.marks : 0.0);
    std::printf("hojas de 40 preguntas sin nada que mirar: %d de %d (%.1f %%)\n",
                fortyAll - fortyLooks, fortyAll,
                fortyAll ? 100.0 * (fortyAll - fortyLooks) / fortyAll : 0.0);
    std::printf("  de ellas, con marcas claras solo: %d de %d (%.1f %%)\n",
                fortyClear - fortyClearLooks, fortyClear,
                fortyClear ? 100.0 * (fortyClear - fortyClearLooks) / fortyClear : 0.0);
    std::printf("tiempo por página: %.1f ms\n", count ? nanoseconds / 1e6 / count : 0.0);
    return wrong == 0 && read == count ? 0 : 1;
}
