// The accuracy run of the sheet reader (scripts/omr-accuracy N): N sheets
// of random answers and DNIs, marked with every kind of pen, moved and
// degraded at random, at 150 to 600 dpi, read back; prints the sheets read,
// the marks read wrongly (the goal is none), the marks left doubtful and the
// reading time per page.

#include "ScanGenerator.h"
#include "SheetLayout.h"
#include "SheetReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMutex>
#include <QtConcurrent/QtConcurrentMap>

#include <cstdio>
#include <numeric>

namespace {

struct Outcome
{
    bool read = false;
    QString refusal;
    int marks = 0, wrong = 0, doubtful = 0;
    qint64 nanoseconds = 0;
    QString detail;
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
    using scanGenerator::Pen;
    const QList<Pen> pens{Pen::Cross,      Pen::Cross,     Pen::Tick,
                          Pen::LightCross, Pen::Corrected, Pen::Cancelled};
    const int version = random.bounded(4), serial = 1 + random.bounded(300);
    const scanGenerator::Marked marked =
        scanGenerator::scan(set, version, serial, 0, answers, dni, dpi, pens,
                            scanGenerator::randomDistortion(random), random);
    Outcome outcome;
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
    if (!outcome.read)
        return outcome;
    const QString meant = marked.answers + marked.dni;
    const QString got = reading.answers + reading.dni;
    for (qsizetype i = 0; i < meant.size(); ++i) {
        ++outcome.marks;
        if (got[i] == u'?' || got[i] == u'X')
            ++outcome.doubtful;
        else if (got[i] != meant[i])
            ++outcome.wrong;
    }
    if (outcome.wrong > 0 || outcome.doubtful > 0)
        outcome.detail = QStringLiteral("hoja %1 (%2 ppp): leído %3, marcado %4")
                             .arg(n)
                             .arg(dpi)
                             .arg(got, meant);
    return outcome;
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
    int read = 0, marks = 0, wrong = 0, doubtful = 0;
    qint64 nanoseconds = 0;
    for (const Outcome &outcome : outcomes) {
        read += outcome.read ? 1 : 0;
        marks += outcome.marks;
        wrong += outcome.wrong;
        doubtful += outcome.doubtful;
        nanoseconds += outcome.nanoseconds;
        if (!outcome.read)
            std::printf("no leída: %s\n", qPrintable(outcome.refusal));
        else if (verbose && !outcome.detail.isEmpty())
            std::printf("%s\n", qPrintable(outcome.detail));
    }
    std::printf("hojas: %d, leídas: %d\n", count, read);
    std::printf("marcas (respuestas y cifras del DNI): %d\n", marks);
    std::printf("marcas leídas mal: %d\n", wrong);
    std::printf("marcas dudosas: %d (%.2f %%)\n", doubtful, marks ? 100.0 * doubtful / marks : 0.0);
    std::printf("tiempo por página: %.1f ms\n", count ? nanoseconds / 1e6 / count : 0.0);
    return wrong == 0 && read == count ? 0 : 1;
}
