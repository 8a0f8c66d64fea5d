#include "SheetMarking.h"

#include "ScanFile.h"
#include "SheetLayout.h"

#include <QFileInfo>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <opencv2/core/utility.hpp>

#include <cmath>

QString Refusal::line() const
{
    if (page == 0)
        return QStringLiteral("%1: %2").arg(file, reason);
    return QStringLiteral("página %1 de %2: %3").arg(page).arg(file, reason);
}

qint64 examOfScans(const QStringList &scans, QStringList *refused, const std::atomic<bool> *stop)
{
    qint64 exam = 0;
    for (const QString &scan : scans) {
        QString error;
        const int pages = scanFile::pageCount(scan, &error);
        if (pages < 0)
            refused->append(Refusal{scan, 0, error}.line());
        for (int page = 0; page < pages && exam == 0 && !(stop && stop->load()); ++page) {
            const sheetReader::PageReading reading = sheetReader::read(
                scanFile::page(scan, page), [&exam](const SheetCode &code, QString *refusal) {
                    exam = code.exam;
                    *refusal = QStringLiteral("hallado");
                    return std::optional<int>();
                });
            if (exam == 0)
                refused->append(Refusal{scan, page + 1, reading.refusal}.line());
        }
        if (exam != 0)
            break;
    }
    return exam;
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
    const QList<bool> &key = m_key.answers.value(sheet.code.version);
    sheet.right = sheet.wrong = sheet.blank = sheet.doubtful = 0;
    for (qsizetype n = 0; n < sheet.answers.size(); ++n) {
        const QChar answer = sheet.answers[n];
        if (answer == u'S' || answer == u'N')
            ++((answer == u'S') == key.value(n) ? sheet.right : sheet.wrong);
        else if (answer == u'-')
            ++sheet.blank;
        else
            ++sheet.doubtful;
    }
    sheet.pending = sheet.doubtful > 0 || sheet.dni.contains(u'?');
    sheet.points = std::max(0.0, sheet.right - m_penalty * sheet.wrong);
    const int questions = int(sheet.answers.size());
    sheet.grade = questions == 0 ? 0 : std::round(1000.0 * sheet.points / questions) / 100.0;
}

MarkingResult SheetMarking::mark(const QStringList &scans,
                                 const QHash<QString, Decisions> &decisions, bool keepImages,
                                 const std::function<void(int, int)> &progress,
                                 const std::atomic<bool> *stop) const
{
    cv::setNumThreads(1); // the pages are spread over the cores already
    MarkingResult result;
    QList<ScanPage> pages;
    for (const QString &scan : scans) {
        QString error;
        const int count = scanFile::pageCount(scan, &error);
        if (count < 0)
            result.refusals.append({scan, 0, error});
        for (int page = 0; page < count; ++page)
            pages.append({scan, page});
    }
    const auto readPage = [this, keepImages](const ScanPage &page) {
        sheetReader::PageReading reading;
        try {
            const cv::Mat grey = scanFile::page(page.file, page.page);
            if (grey.empty())
                reading.refusal = QStringLiteral("no se puede leer la página");
            else
                reading = sheetReader::read(grey, [this](const SheetCode &code, QString *refusal) {
                    return check(code, refusal);
                });
        } catch (const cv::Exception &) {
            reading.refusal = QStringLiteral("no se puede leer la página");
        }
        if (!keepImages)
            reading.straight.release();
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
            progress(future.progressValue(), int(pages.size()));
        QThread::msleep(100);
    }
    if (progress)
        progress(int(pages.size()), int(pages.size()));
    const QList<sheetReader::PageReading> readings = future.results();

    const SheetLayout layout(m_key.questions());
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
            sheet.pages.resize(layout.pages());
            sheet.scanPages.resize(layout.pages());
            result.sheets.append(sheet);
        }
        MarkedSheet &sheet = result.sheets[sheetAt.value(id)];
        const int page = reading.code.page;
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
        const auto doubt = [&](int question, const QString &item) {
            const int page = question < 0 ? 0 : layout.pageOf(question);
            const ScanPage &where = sheet.scanPages[page];
            result.doubts.append(
                {where.file, where.file.isEmpty() ? 0 : where.page + 1, name, page + 1, item});
        };
        if (sheet.dni.contains(u'?'))
            doubt(-1, QStringLiteral("dni"));
        for (qsizetype n = 0; n < sheet.answers.size(); ++n)
            if (sheet.answers[n] == u'?' || sheet.answers[n] == u'X')
                doubt(int(n), QString::number(n + 1));
        grade(sheet);
    }
    return result;
}
