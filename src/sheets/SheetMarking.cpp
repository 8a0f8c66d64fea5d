#include "SheetMarking.h"

#include "ScanFile.h"
#include "SheetLayout.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <opencv2/core/utility.hpp>

#include <cstring>

QString Refusal::line() const
{
    if (page == 0)
        return QStringLiteral("%1: %2").arg(file, reason);
    return QStringLiteral("página %1 de %2: %3").arg(page).arg(file, reason);
}

namespace {

// A grey page as its height and width (two 32-bit integers) and its pixels
// compressed by zlib at its fastest level: lossless, and several times
// quicker than a PNG, whose filters cost more than the compression saves.
QByteArray pack(const cv::Mat &grey)
{
    const cv::Mat pixels = grey.isContinuous() ? grey : grey.clone();
    const qint32 size[2] = {pixels.rows, pixels.cols};
    return QByteArray(reinterpret_cast<const char *>(size), sizeof size) +
           qCompress(pixels.data, qsizetype(pixels.total()), 1);
}

cv::Mat unpack(const QByteArray &packed)
{
    qint32 size[2];
    if (packed.size() < qsizetype(sizeof size))
        return {};
    std::memcpy(size, packed.constData(), sizeof size);
    const QByteArray pixels = qUncompress(packed.mid(sizeof size));
    if (size[0] <= 0 || size[1] <= 0 || pixels.size() != qsizetype(size[0]) * size[1])
        return {};
    return cv::Mat(size[0], size[1], CV_8UC1, const_cast<char *>(pixels.constData())).clone();
}

} // namespace

cv::Mat markedPage(const MarkedSheet &sheet, int page, int questions)
{
    const sheetReader::PageReading &reading = sheet.pages.value(page);
    if (!reading.straight.empty())
        return reading.straight;
    if (!reading.packed.isEmpty())
        return unpack(reading.packed);
    const ScanPage where = sheet.scanPages.value(page);
    if (where.file.isEmpty())
        return {};
    return sheetReader::read(
               scanFile::page(where.file, where.page),
               [questions](const SheetCode &, QString *) { return std::optional<int>(questions); })
        .straight;
}

PileStart examOfScans(const QStringList &scans, const std::atomic<bool> *stop)
{
    PileStart start;
    for (const QString &scan : scans) {
        QString error;
        const int pages = scanFile::pageCount(scan, &error);
        if (pages < 0)
            start.refused.append({scan, 0, error});
        for (int page = 0; page < pages && start.exam == 0 && !(stop && stop->load()); ++page) {
            cv::Mat grey = scanFile::page(scan, page);
            const sheetReader::PageReading reading =
                sheetReader::read(grey, [&start](const SheetCode &code, QString *refusal) {
                    start.exam = code.exam;
                    *refusal = QStringLiteral("hallado");
                    return std::optional<int>();
                });
            if (start.exam == 0) {
                start.refused.append({scan, page + 1, reading.refusal});
            } else {
                start.found = {scan, page};
                start.page = std::move(grey);
            }
        }
        if (start.exam != 0)
            break;
    }
    return start;
}

SheetMarking::SheetMarking(AnswerKey key, double penalty)
    : m_key(std::move(key)), m_penalty(penalty)
{
}

std::optional<int> SheetMarking::check(const SheetCode &code, QString *refusal) const
{
    if (code.exam != m_key.exam || code.identifier != m_key.identifier) {
        *refusal =
            code.exam == m_key.exam
                ? QStringLiteral("es una hoja del examen %1 de otro historial").arg(code.exam)
                : QStringLiteral("es una hoja de otro examen (el %1)").arg(code.exam);
        return std::nullopt;
    }
    if (code.version >= m_key.answers.size()) {
        *refusal = QStringLiteral("es de la versión %1, que el examen no tiene")
                       .arg(QChar(u'A' + code.version));
        return std::nullopt;
    }
    return m_key.questions();
}

void SheetMarking::grade(MarkedSheet &sheet) const
{
    const marks::Tally tally = marks::tally(sheet.answers, m_key.answers.value(sheet.code.version));
    sheet.right = tally.right;
    sheet.wrong = tally.wrong;
    sheet.blank = tally.blank;
    sheet.doubtful = tally.unsettled;
    sheet.pending = sheet.doubtful > 0 || sheet.dni.contains(u'?');
    sheet.points = marks::points(sheet.right, sheet.wrong, m_penalty);
    sheet.grade = marks::grade(sheet.points, int(sheet.answers.size()));
}

MarkingResult SheetMarking::mark(const QStringList &scans,
                                 const QHash<QString, Decisions> &decisions, Images images,
                                 const std::function<void(int, int)> &progress,
                                 const std::atomic<bool> *stop, const PileStart *start) const
{
    cv::setNumThreads(1); // the pages are spread over the cores already
    MarkingResult result;
    QList<ScanPage> pages;
    // The pages examOfScans() refused already are not read again.
    QSet<QPair<QString, int>> refusedBefore;
    if (start)
        for (const Refusal &refusal : start->refused)
            refusedBefore.insert({refusal.file, refusal.page});
    for (const QString &scan : scans) {
        QString error;
        const int count = scanFile::pageCount(scan, &error);
        if (count < 0)
            result.refusals.append({scan, 0, error});
        for (int page = 0; page < count; ++page)
            pages.append({scan, page});
    }
    std::atomic<qint64> kept{0};
    // Counted here, page by page: the pool's own progress moves by blocks.
    std::atomic<int> done{0};
    const auto readOne = [&, this](const ScanPage &page) {
        sheetReader::PageReading reading;
        if (refusedBefore.contains({page.file, page.page + 1})) {
            for (const Refusal &refusal : start->refused)
                if (refusal.file == page.file && refusal.page == page.page + 1)
                    reading.refusal = refusal.reason;
            return reading;
        }
        try {
            const bool found =
                start && start->found.file == page.file && start->found.page == page.page;
            const cv::Mat grey = found ? start->page : scanFile::page(page.file, page.page);
            if (grey.empty())
                reading.refusal = QStringLiteral("no se puede leer la página");
            else
                reading = sheetReader::read(grey, [this](const SheetCode &code, QString *refusal) {
                    return check(code, refusal);
                });
        } catch (const cv::Exception &) {
            reading.refusal = QStringLiteral("no se puede leer la página");
        }
        bool whole = images == Images::Whole;
        if (images == Images::Bounded && !reading.straight.empty()) {
            const qint64 size = qint64(reading.straight.total());
            whole = kept.fetch_add(size) + size <= m_keptBytes / 2;
            if (!whole) {
                kept -= size;
                reading.packed = pack(reading.straight);
                if (kept.fetch_add(reading.packed.size()) + reading.packed.size() > m_keptBytes) {
                    kept -= reading.packed.size();
                    reading.packed.clear();
                }
            }
        }
        if (!whole)
            reading.straight.release();
        return reading;
    };
    const auto readPage = [&readOne, &done](const ScanPage &page) {
        sheetReader::PageReading reading = readOne(page);
        ++done;
        return reading;
    };
    QFuture<sheetReader::PageReading> future = QtConcurrent::mapped(pages, readPage);
    while (!future.isFinished()) {
        if (stop && stop->load()) {
            future.cancel();
            future.waitForFinished();
            MarkingResult stopped;
            stopped.stopped = true;
            return stopped;
        }
        if (progress)
            progress(done.load(), int(pages.size()));
        QThread::msleep(100);
    }
    if (progress)
        progress(int(pages.size()), int(pages.size()));
    const QList<sheetReader::PageReading> readings = future.results();

    QHash<QPair<int, int>, qsizetype> sheetAt;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const sheetReader::PageReading &reading = readings[i];
        const QString file = pages[i].file;
        const int filePage = pages[i].page + 1;
        if (!reading.refusal.isEmpty()) {
            result.refusals.append({file, filePage, reading.refusal});
            continue;
        }
        if (!reading.note.isEmpty())
            result.notes.append(
                QStringLiteral("página %1 de %2: %3").arg(filePage).arg(file, reading.note));
        const QPair<int, int> id{reading.code.version, reading.code.serial};
        if (!sheetAt.contains(id)) {
            sheetAt.insert(id, result.sheets.size());
            MarkedSheet sheet;
            sheet.code = reading.code;
            sheet.code.page = 0;
            // Its pages as its code's layout has them.
            const SheetLayout layout(m_key.questions(), reading.code.layout);
            sheet.pages.resize(layout.pages());
            sheet.scanPages.resize(layout.pages());
            result.sheets.append(sheet);
        }
        MarkedSheet &sheet = result.sheets[sheetAt.value(id)];
        const int page = reading.code.page;
        if (reading.code.layout != sheet.code.layout) {
            result.refusals.append({file, filePage,
                                    QStringLiteral("la hoja %1 ya se leyó, impresa en otra "
                                                   "disposición: no se cuenta esta")
                                        .arg(reading.code.sheetName())});
            continue;
        }
        if (!sheet.scanPages[page].file.isEmpty()) {
            const sheetReader::PageReading &earlier = sheet.pages[page];
            const ScanPage &where = sheet.scanPages[page];
            const QString name = reading.code.sheetName();
            if (earlier.answers == reading.answers && earlier.dni == reading.dni)
                result.notes.append(
                    QStringLiteral("la hoja %1 (página %2) está escaneada dos veces, en la "
                                   "página %3 de %4 y en la página %5 de %6: se cuenta una vez")
                        .arg(name)
                        .arg(page + 1)
                        .arg(where.page + 1)
                        .arg(where.file)
                        .arg(filePage)
                        .arg(file));
            else
                result.refusals.append(
                    {file, filePage,
                     QStringLiteral("la hoja %1 ya se leyó, con otras marcas, en la página %2 de "
                                    "%3: no se cuenta esta")
                         .arg(name)
                         .arg(where.page + 1)
                         .arg(where.file)});
            continue;
        }
        sheet.pages[page] = reading;
        sheet.scanPages[page] = pages[i];
    }

    for (MarkedSheet &sheet : result.sheets) {
        const SheetLayout layout(m_key.questions(), sheet.code.layout);
        const QString name = sheet.code.sheetName();
        for (int page = 0; page < layout.pages(); ++page) {
            const SheetLayout::PageQuestions on = layout.pageQuestions(page);
            if (sheet.scanPages[page].file.isEmpty()) {
                result.notes.append(QStringLiteral("falta la página %1 de la hoja %2: sus "
                                                   "preguntas quedan dudosas")
                                        .arg(page + 1)
                                        .arg(name));
                sheet.answers += QString(on.count, u'?');
                if (page == 0)
                    sheet.dni = QString(SheetLayout::kDniDigits, u'?');
                continue;
            }
            sheet.answers += sheet.pages[page].answers;
            if (page == 0)
                sheet.dni = sheet.pages[page].dni;
            if (sheet.file.isEmpty()) {
                sheet.file = sheet.scanPages[page].file;
                sheet.page = sheet.scanPages[page].page + 1;
            }
        }
        sheet.read = sheet.answers;
        sheet.readDni = sheet.dni;
        const Decisions decided = decisions.value(name);
        if (decided.contains(QStringLiteral("dni")))
            sheet.dni = decided.value(QStringLiteral("dni"));
        for (qsizetype n = 0; n < sheet.answers.size(); ++n)
            if (const QString value = decided.value(QString::number(n + 1)); value.size() == 1)
                sheet.answers[n] = value[0];
        // A page not scanned has nothing to look at: its note says so once.
        const auto doubt = [&](int question, const QString &item) {
            const int page = question < 0 ? 0 : layout.pageOf(question);
            const ScanPage &where = sheet.scanPages[page];
            if (!where.file.isEmpty())
                result.doubts.append({where.file, where.page + 1, name, page + 1, item});
        };
        if (sheet.dni.contains(u'?'))
            doubt(-1, QStringLiteral("dni"));
        for (qsizetype n = 0; n < sheet.answers.size(); ++n)
            if (marks::unsettled(marks::of(sheet.answers[n])))
                doubt(int(n), QString::number(n + 1));
        grade(sheet);
    }
    return result;
}
