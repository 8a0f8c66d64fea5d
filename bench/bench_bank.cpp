// Speed of the bank's reading and writing, each measured beside an anchor of
// plain system calls doing the least the operation must do, in the same run:
// open + index against one read() of the file, listing against the same
// number of pread()s, a durable change against a C copy with fsync and
// rename, filling the question grid on a topic switch against a plain
// QTableWidget fill, laying out an exam for the printer against drawing its
// lines to a PDF, the exam's own PDF against drawing the lines it holds,
// one drawText a line, a search of the decoded texts of a whole bank against
// a plain case-insensitive substring scan of the same texts, and the
// near-duplicate check of one question against a full chapter against an
// exact case-insensitive comparison with each of its questions, the
// near-duplicate pairs of a whole file of near-identical questions
// (orvalis-banco comprobar --parecidas) against an exact comparison of the
// same pairs, and the marks of used questions in a listing against the
// listing without them. The table at the end gives both, their ratio, the
// row's goal and whether it is met, and counts the rows over their goal.
#include "BankCheck.h"
#include "BankSnapshot.h"
#include "ExamHistory.h"
#include "ExamPdf.h"
#include "ExpositionBank.h"
#include "ExpositionRecord.h"
#include "FlexGrid.h"
#include "QuestionMarks.h"
#include "QuestionSearch.h"
#include "SheetLayout.h"
#include "SheetPdf.h"
#include "SheetReader.h"
#include "TextPrinter.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"
#include "TrueFalseRecord.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

QByteArray trueFalseFile(int records)
{
    QByteArray bytes;
    bytes.reserve(records * 256);
    for (int n = 0; n < records; ++n) {
        QByteArray record(256, 'a');
        // 22 chapters x 10 topics x 50: fill topic after topic.
        qToLittleEndian<qint16>(qint16(1 + (n / 500) % 22), record.data());
        qToLittleEndian<qint16>(qint16(1 + (n / 50) % 10), record.data() + 2);
        qToLittleEndian<qint16>(1, record.data() + 254);
        bytes += record;
    }
    return bytes;
}

QByteArray expositionFile(int records, int length)
{
    QByteArray bytes;
    for (int n = 0; n < records; ++n) {
        QByteArray record(length, 'b');
        qToLittleEndian<qint16>(qint16(1 + (n / 100) % 22), record.data());
        bytes += record;
    }
    return bytes;
}

struct Folder
{
    QTemporaryDir dir;
    QString put(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        return file.fileName();
    }
};

void readWhole(const QString &path, benchmark::State &state)
{
    const QByteArray native = QFile::encodeName(path);
    std::vector<char> buffer(size_t(QFileInfo(path).size()) + 1);
    for (auto _ : state) {
        const int fd = ::open(native.constData(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
}

void BM_OpenIndexTrueFalse(benchmark::State &state)
{
    Folder folder;
    folder.put(TrueFalseBank::loadName(), trueFalseFile(int(state.range(0))));
    for (auto _ : state) {
        TrueFalseBank bank(folder.dir.path());
        benchmark::DoNotOptimize(bank.openBank().ok());
    }
}
void BM_ReadTrueFalse(benchmark::State &state)
{
    Folder folder;
    readWhole(folder.put(TrueFalseBank::loadName(), trueFalseFile(int(state.range(0)))), state);
}
BENCHMARK(BM_OpenIndexTrueFalse)->Arg(100)->Arg(1000)->Arg(6900)->Arg(11000);
BENCHMARK(BM_ReadTrueFalse)->Arg(100)->Arg(1000)->Arg(6900)->Arg(11000);

void BM_OpenIndexPractical(benchmark::State &state)
{
    Folder folder;
    folder.put(QStringLiteral("QELMEXE2.DAT"), expositionFile(int(state.range(0)), 1002));
    for (auto _ : state) {
        ExpositionBank bank(folder.dir.path());
        benchmark::DoNotOptimize(bank.openBank(ExpositionKind::Practical).ok());
    }
}
void BM_ReadPractical(benchmark::State &state)
{
    Folder folder;
    readWhole(folder.put(QStringLiteral("QELMEXE2.DAT"), expositionFile(int(state.range(0)), 1002)),
              state);
}
BENCHMARK(BM_OpenIndexPractical)->Arg(2200);
BENCHMARK(BM_ReadPractical)->Arg(2200);

void BM_ListTopic(benchmark::State &state)
{
    Folder folder;
    folder.put(TrueFalseBank::loadName(), trueFalseFile(6900));
    TrueFalseBank bank(folder.dir.path());
    (void)bank.openBank();
    for (auto _ : state)
        benchmark::DoNotOptimize(bank.questionsOf(3, 4).ok());
}
void BM_PreadTopic(benchmark::State &state)
{
    Folder folder;
    const QString path = folder.put(TrueFalseBank::loadName(), trueFalseFile(6900));
    TrueFalseBank bank(folder.dir.path());
    (void)bank.openBank();
    const QList<qint32> numbers = bank.index().recordNumbers(3, 4);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    char record[256];
    for (auto _ : state)
        for (qint32 n : numbers)
            benchmark::DoNotOptimize(::pread(fd, record, 256, off_t(n - 1) * 256));
    ::close(fd);
}
BENCHMARK(BM_ListTopic)->Arg(50);
BENCHMARK(BM_PreadTopic)->Arg(50);

void BM_ListChapter(benchmark::State &state)
{
    Folder folder;
    folder.put(QStringLiteral("QELMEXE1.DAT"), expositionFile(2200, 502));
    ExpositionBank bank(folder.dir.path());
    (void)bank.openBank(ExpositionKind::Conceptual);
    for (auto _ : state)
        benchmark::DoNotOptimize(bank.questionsOf(5).ok());
}
void BM_PreadChapter(benchmark::State &state)
{
    Folder folder;
    const QString path = folder.put(QStringLiteral("QELMEXE1.DAT"), expositionFile(2200, 502));
    ExpositionBank bank(folder.dir.path());
    (void)bank.openBank(ExpositionKind::Conceptual);
    const QList<qint32> numbers = bank.index().recordNumbers(5);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    char record[502];
    for (auto _ : state)
        for (qint32 n : numbers)
            benchmark::DoNotOptimize(::pread(fd, record, 502, off_t(n - 1) * 502));
    ::close(fd);
}
BENCHMARK(BM_ListChapter)->Arg(100);
BENCHMARK(BM_PreadChapter)->Arg(100);

void BM_Modify(benchmark::State &state)
{
    Folder folder;
    folder.put(TrueFalseBank::loadName(), trueFalseFile(int(state.range(0))));
    TrueFalseBank bank(folder.dir.path());
    (void)bank.openBank();
    const TrueFalseRecord record{1, 1, QStringLiteral("¿Cambia la pregunta?"), 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(bank.writeRecord(7, record).ok());
}
void BM_Delete(benchmark::State &state)
{
    Folder folder;
    const QByteArray content = trueFalseFile(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &name : QDir(folder.dir.path()).entryList(QDir::Files))
            QFile::remove(folder.dir.filePath(name));
        folder.put(TrueFalseBank::loadName(), content);
        TrueFalseBank bank(folder.dir.path());
        (void)bank.openBank();
        state.ResumeTiming();
        benchmark::DoNotOptimize(bank.deleteRecord(7).ok());
    }
}
// The least a durable replacement must do: read the file, write a copy,
// fsync it, rename it over the file and fsync the folder.
void BM_CopyFsyncRename(benchmark::State &state)
{
    Folder folder;
    const QString path = folder.put(QStringLiteral("bank"), trueFalseFile(int(state.range(0))));
    const QByteArray native = QFile::encodeName(path);
    const QByteArray temp = QFile::encodeName(folder.dir.filePath(QStringLiteral("bank.tmp")));
    const QByteArray dir = QFile::encodeName(folder.dir.path());
    std::vector<char> buffer(size_t(state.range(0)) * 256);
    for (auto _ : state) {
        const int in = ::open(native.constData(), O_RDONLY);
        const ssize_t size = ::read(in, buffer.data(), buffer.size());
        ::close(in);
        const int out = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(out, buffer.data(), size_t(size)));
        ::fsync(out);
        ::close(out);
        ::rename(temp.constData(), native.constData());
        const int d = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
        ::fsync(d);
        ::close(d);
    }
}
BENCHMARK(BM_Modify)->Arg(6900)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete)->Arg(6900)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyFsyncRename)->Arg(6900)->Unit(benchmark::kMillisecond);

// A question of a listing: about as long as the bank's texts run.
QString questionText(int n)
{
    return QStringLiteral("%1. ¿Forma parte del análisis del entorno de la empresa el estudio "
                          "de los competidores, de los proveedores y de los intermediarios que "
                          "actúan en su mercado, según lo visto en el tema %1?")
        .arg(n);
}

// What a selection window does with its question grid on every topic or
// chapter switch: empty it, size it, set its columns up and fill it.
void fillGrid(FlexGrid &grid, int rows)
{
    grid.clear();
    grid.setRows(rows + 1);
    grid.setTextMatrix(0, 0, QStringLiteral("Nº"));
    grid.setTextMatrix(0, 1, QStringLiteral("PREGUNTA"));
    grid.setTextMatrix(0, 2, QStringLiteral("Resp."));
    grid.setColWidth(0, 400);
    grid.setColWidth(1, 9000);
    grid.setColWidth(2, 600);
    grid.setColAlignment(0, Qt::AlignHCenter);
    grid.setColAlignment(2, Qt::AlignHCenter);
    for (int col = 0; col < 3; ++col)
        grid.setFixedAlignment(col, Qt::AlignHCenter);
    grid.setCurrentCell(0, 0);
    for (int row = 1; row <= rows; ++row) {
        grid.setRowHeight(row, 450);
        grid.setTextMatrix(row, 0, QString::number(row));
        grid.setTextMatrix(row, 1, questionText(row));
        grid.setTextMatrix(row, 2, QStringLiteral("Sí"));
    }
}
void BM_GridFill(benchmark::State &state)
{
    const int rows = int(state.range(0));
    FlexGrid grid;
    grid.setCols(3);
    for (auto _ : state) {
        fillGrid(grid, rows);
        // What the grid leaves for the event loop is part of the fill. All
        // of it is delivered, as the event loop would: the grid's alone
        // left its table's events queued, and a queue growing with every
        // iteration made later iterations slower than earlier ones.
        QCoreApplication::sendPostedEvents();
    }
}
// The same fill with the questions earlier exams used marked, out of a
// history of 60 exams of 50 questions in which a third of the listing is,
// marked as a selection window marks its listing (the history read once).
void BM_GridFillMarked(benchmark::State &state)
{
    const int rows = int(state.range(0));
    QList<QuestionListing> listing;
    for (int row = 1; row <= rows; ++row)
        listing.append({row, row, questionText(row), true});
    QTemporaryDir folder;
    const auto back = qScopeGuard([before = QDir::currentPath()] { QDir::setCurrent(before); });
    QDir::setCurrent(folder.path());
    ExamHistory history;
    for (int exam = 0; exam < 60; ++exam) {
        HistoryExam recorded{0,     QDateTime(QDate(2020, 1, 1).addDays(exam * 30), QTime(9, 0)),
                             false, QStringLiteral("Examen %1").arg(exam),
                             1,     0,
                             {}};
        for (int n = 0; n < 50; ++n)
            recorded.questions.append({QuestionKind::TrueFalse, 1, 1,
                                       questionText(1 + (exam * 50 + n) % (3 * rows)), true});
        if (const QString error = history.record(recorded); !error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    QuestionMarks marks(nullptr);
    FlexGrid grid;
    grid.setCols(3);
    for (auto _ : state) {
        fillGrid(grid, rows);
        marks.mark(&grid, listing, QuestionKind::TrueFalse);
        QCoreApplication::sendPostedEvents();
    }
}
// The same texts put into a plain table, one new item a cell.
void BM_TableFill(benchmark::State &state)
{
    const int rows = int(state.range(0));
    QTableWidget table(rows, 3);
    for (auto _ : state) {
        table.clearContents();
        table.setRowCount(rows);
        for (int row = 0; row < rows; ++row) {
            table.setRowHeight(row, 30);
            table.setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
            table.setItem(row, 1, new QTableWidgetItem(questionText(row + 1)));
            table.setItem(row, 2, new QTableWidgetItem(QStringLiteral("Sí")));
        }
    }
}
BENCHMARK(BM_GridFill)->Arg(50)->Arg(100);
BENCHMARK(BM_GridFillMarked)->Arg(100);
BENCHMARK(BM_TableFill)->Arg(50)->Arg(100);

// An exam of `questions` questions, as the printing window gets it.
QString examText(int questions)
{
    QString text = QStringLiteral("EXAMEN DE MARKETING\r\n\r\n");
    for (int n = 1; n <= questions; ++n)
        text += questionText(n) + QStringLiteral("   V   F\r\n\r\n");
    return text;
}

void setUpPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

void BM_PrintLayout(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString text = examText(int(state.range(0)));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, dir.filePath(QStringLiteral("examen.pdf")));
        benchmark::DoNotOptimize(TextPrinter::print(printer, text));
    }
}
// The same lines, already cut to the paper's width, drawn one under another
// on as many pages in the same font.
void BM_DrawLines(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString text = examText(int(state.range(0)));
    QList<QStringList> pages;
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, dir.filePath(QStringLiteral("medida.pdf")));
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(10.0);
        const QFontMetricsF metrics(font, &printer);
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        const qreal left = TextPrinter::kLeftTwips * printer.resolution() / 1440.0;
        const qreal top = TextPrinter::kTopTwips * printer.resolution() / 1440.0;
        pages = TextPrinter::paginate(TextPrinter::layoutLines(text, metrics, page.width() - left),
                                      int((page.height() - top) / metrics.lineSpacing()));
    }
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, dir.filePath(QStringLiteral("examen.pdf")));
        QPainter painter(&printer);
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(10.0);
        painter.setFont(font);
        const qreal left = TextPrinter::kLeftTwips * printer.resolution() / 1440.0;
        const qreal lineHeight = painter.fontMetrics().lineSpacing();
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                printer.newPage();
            qreal y = TextPrinter::kTopTwips * printer.resolution() / 1440.0;
            for (const QString &line : pages.at(p)) {
                painter.drawText(QPointF(left, y), line);
                y += lineHeight;
            }
        }
        benchmark::DoNotOptimize(painter.end());
    }
}
BENCHMARK(BM_PrintLayout)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLines)->Arg(500)->Unit(benchmark::kMillisecond);
// Question-like texts of `length` characters or so, made of course words
// with accents and punctuation, the same for every run.
QStringList questionTexts(int count, int length)
{
    static const QStringList words =
        QStringLiteral(
            "el la los las de del en y que es un una se por con su sus para más ¿Qué cuál "
            "mercado demanda precio producto marca cliente consumidor empresa venta ventas "
            "distribución comunicación publicidad segmentación posicionamiento estrategia "
            "competencia canal minorista mayorista elasticidad cuota crecimiento ciclo vida "
            "investigación muestra encuesta valor calidad servicio fidelidad envase etiqueta "
            "promoción descuento margen coste beneficio nuevo línea gama, cartera. objetivo? "
            "análisis decisión compra comportamiento motivación percepción actitud, actual")
            .split(u' ');
    QStringList texts;
    quint32 seed = 12345;
    for (int n = 0; n < count; ++n) {
        QString text;
        while (text.size() < length) {
            seed = seed * 1103515245u + 12345u;
            text += words.at(qsizetype((seed >> 16) % quint32(words.size()))) + u' ';
        }
        texts.append(text.left(length).trimmed());
    }
    return texts;
}

// What the teacher types: two words, in another case and without accents.
const QString kQuery = QStringLiteral("ELASTICIDAD precio");

void BM_Search(benchmark::State &state)
{
    QuestionSearch search;
    const QStringList texts = questionTexts(int(state.range(0)), 180);
    for (qsizetype i = 0; i < texts.size(); ++i)
        search.add(QuestionKind::TrueFalse, 1, 1, qint32(i + 1), texts.at(i));
    for (auto _ : state)
        benchmark::DoNotOptimize(search.find(kQuery).size());
}

void BM_SubstringScan(benchmark::State &state)
{
    const QStringList texts = questionTexts(int(state.range(0)), 180);
    for (auto _ : state) {
        qsizetype found = 0;
        for (const QString &text : texts)
            found += text.contains(kQuery, Qt::CaseInsensitive);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Search)->Arg(6900)->Arg(32767);
BENCHMARK(BM_SubstringScan)->Arg(6900)->Arg(32767);

// One new question against a full chapter: 100 practical questions of 1000
// characters (range 1000) or 500 true/false ones of 250 (range 250), none
// near, so that every one is compared.
QStringList chapterTexts(int length)
{
    return questionTexts(length == 1000 ? 100 : 500, length);
}

void BM_NearDuplicateCheck(benchmark::State &state)
{
    const QStringList chapter = chapterTexts(int(state.range(0)));
    const QString question = questionTexts(501, int(state.range(0))).last();
    for (auto _ : state)
        benchmark::DoNotOptimize(questionSearch::firstNearDuplicate(question, chapter));
}

void BM_ExactCompareChapter(benchmark::State &state)
{
    const QStringList chapter = chapterTexts(int(state.range(0)));
    const QString question = questionTexts(501, int(state.range(0))).last();
    for (auto _ : state) {
        int equal = 0;
        for (const QString &text : chapter)
            equal += question.compare(text, Qt::CaseInsensitive) == 0;
        benchmark::DoNotOptimize(equal);
    }
}
BENCHMARK(BM_NearDuplicateCheck)->Arg(1000)->Arg(250);
BENCHMARK(BM_ExactCompareChapter)->Arg(1000)->Arg(250);

// The worst case of the near-duplicate check: every question of a chapter a
// near copy of one text (three characters changed, as a teacher's variants
// of a question are), so that every pair is compared to its end and flagged.
// Range 1000: 22 chapters of 100 practical questions of 1000 characters;
// range 250: a true/false file of 1.8 MB, 50 questions a topic, topic after
// topic of the catalogue.
struct NearBank
{
    QTemporaryDir dir;
    QuestionKind kind = QuestionKind::TrueFalse;
    QList<QStringList> chapters; // the display texts, chapter by chapter
};

std::unique_ptr<NearBank> nearBank(int length)
{
    auto bank = std::make_unique<NearBank>();
    const QString base = questionTexts(1, length).first();
    quint32 seed = 777;
    const auto variant = [&] {
        QString text = base;
        for (int edit = 0; edit < 3; ++edit) {
            seed = seed * 1103515245u + 12345u;
            text[qsizetype((seed >> 8) % quint32(text.size()))] = QChar(u'a' + (seed >> 24) % 26);
        }
        return text;
    };
    QByteArray bytes;
    if (length == 1000) {
        bank->kind = QuestionKind::Practical;
        for (qint16 chapter = 1; chapter <= 22; ++chapter) {
            bank->chapters.emplaceBack();
            for (int n = 0; n < 100; ++n) {
                ExpositionRecord record{chapter, variant()};
                bytes += *record.toBytes(ExpositionKind::Practical);
                bank->chapters.last().append(record.text);
            }
        }
    } else {
        const TopicCatalogue catalogue;
        const int records = 1800 * 1024 / 256;
        for (qint16 chapter = 1; chapter <= 22 && bytes.size() < records * 256; ++chapter) {
            bank->chapters.emplaceBack();
            for (qint16 topic = 1; topic <= catalogue.topicCount(chapter); ++topic)
                for (int n = 0; n < 50 && bytes.size() < records * 256; ++n) {
                    TrueFalseRecord record{chapter, topic, variant(), 1};
                    bytes += *record.toBytes();
                    bank->chapters.last().append(record.text);
                }
        }
    }
    QFile file(bank->dir.filePath(questionKind::bankFileName(bank->kind)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return nullptr;
    return bank;
}

void BM_NearPairsOfAFile(benchmark::State &state)
{
    const auto bank = nearBank(int(state.range(0)));
    if (!bank)
        return state.SkipWithError("no temporary bank");
    for (auto _ : state) {
        const BankFileCheck check =
            BankCheck::checkFile(BankSnapshot::read(bank->dir.path(), bank->kind), true);
        benchmark::DoNotOptimize(check.moreNearPairs);
    }
}

void BM_ExactPairsOfAFile(benchmark::State &state)
{
    const auto bank = nearBank(int(state.range(0)));
    if (!bank)
        return state.SkipWithError("no temporary bank");
    for (auto _ : state) {
        qint64 equal = 0;
        for (const QStringList &chapter : bank->chapters)
            for (qsizetype i = 0; i < chapter.size(); ++i)
                for (qsizetype j = i + 1; j < chapter.size(); ++j)
                    equal += chapter[i].compare(chapter[j], Qt::CaseInsensitive) == 0;
        benchmark::DoNotOptimize(equal);
    }
}
BENCHMARK(BM_NearPairsOfAFile)->Arg(1000)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactPairsOfAFile)->Arg(1000)->Arg(250)->Unit(benchmark::kMillisecond);

ExamDescription trueFalseExam(int questions)
{
    ExamDescription exam;
    for (int n = 1; n <= questions; ++n)
        exam.selection.add({QuestionKind::TrueFalse, 1, 1, questionText(n), n % 3 != 0});
    return exam;
}

void BM_ExamPdf(benchmark::State &state)
{
    const ExamDescription exam = trueFalseExam(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExamPdf::write(exam, ExamFormat()));
}
// The lines of that PDF, as poppler reads them back, drawn on as many A4
// pages in the same font, one plain drawText a line.
void BM_PdfLines(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("examen.pdf")));
    if (!file.open(QIODevice::WriteOnly))
        return state.SkipWithError("no temporary file");
    file.write(ExamPdf::write(trueFalseExam(int(state.range(0))), ExamFormat()));
    file.close();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), file.fileName(), QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000))
        return state.SkipWithError("pdftotext did not run");
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    pages.removeLast(); // after the last page's form feed
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPointSizeF(11);
        painter.setFont(font);
        const qreal lineHeight = painter.fontMetrics().lineSpacing();
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            qreal y = lineHeight;
            for (const QString &line : pages.at(p).split(u'\n')) {
                painter.drawText(QPointF(0, y), line);
                y += lineHeight;
            }
        }
        benchmark::DoNotOptimize(painter.end());
    }
}
BENCHMARK(BM_ExamPdf)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfLines)->Arg(500)->Unit(benchmark::kMillisecond);

// An answer sheet of 40 questions at 200 dpi, every question crossed and the
// DNI marked, as a copier's lossless scan (PNG).
std::vector<uchar> sheetScan()
{
    const double pixelsPerMm = 200 / 25.4;
    const SheetSet set{3, 0x7F2A91C4u, QStringLiteral("Parcial"), 2, 40, 1, 1};
    QImage image(int(210 * pixelsPerMm), int(297 * pixelsPerMm), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(pixelsPerMm, pixelsPerMm);
    sheetPdf::drawPage(painter, set,
                       SheetCode{SheetLayout::kLayoutVersion, 3, 0x7F2A91C4u, 1, 12, 0, 1});
    painter.setPen(QPen(Qt::black, 0.5));
    const SheetLayout layout(40);
    const auto cross = [&painter](const QRectF &box) {
        const QRectF r = box.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.drawLine(r.topLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomLeft());
    };
    for (int q = 0; q < 40; ++q)
        cross(layout.answerBox(q, q % 3 == 0));
    for (int column = 0; column < SheetLayout::kDniDigits; ++column)
        cross(SheetLayout::dniBox(column, column));
    painter.end();
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat page(grey.height(), grey.width(), CV_8UC1, const_cast<uchar *>(grey.constBits()),
                       size_t(grey.bytesPerLine()));
    std::vector<uchar> png;
    cv::imencode(".png", page, png);
    return png;
}

// Marking one scanned page: decoded, its corners found, straightened, its
// code read and every box measured.
void BM_MarkPage(benchmark::State &state)
{
    cv::setNumThreads(1);
    const std::vector<uchar> png = sheetScan();
    for (auto _ : state) {
        const sheetReader::PageReading reading =
            sheetReader::read(cv::imdecode(png, cv::IMREAD_GRAYSCALE),
                              [](const SheetCode &, QString *) { return std::optional<int>(40); });
        if (!reading.refusal.isEmpty())
            state.SkipWithError(qPrintable(reading.refusal));
        benchmark::DoNotOptimize(reading.answers.size());
    }
}

// The anchor: decoding the same page's image alone.
void BM_DecodePage(benchmark::State &state)
{
    cv::setNumThreads(1);
    const std::vector<uchar> png = sheetScan();
    for (auto _ : state)
        benchmark::DoNotOptimize(cv::imdecode(png, cv::IMREAD_GRAYSCALE).data);
}
BENCHMARK(BM_MarkPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePage)->Unit(benchmark::kMillisecond);

// Keeps every run's time per iteration for the table; with repetitions
// (--benchmark_repetitions=5), their median, which other work on the same
// cores moves least. A run that stopped with an error is kept apart, so that
// its row says so rather than vanishing from the table.
class Collector : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;
    std::map<std::string, std::string> errors;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred) {
                errors[run.run_name.str()] = run.error_message;
                continue;
            }
            const double time =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    seconds[run.run_name.str()] = time;
            } else if (run.iterations > 0 && !m_medians.contains(run.run_name.str())) {
                seconds[run.run_name.str()] = time;
            }
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians.insert(run.run_name.str());
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::set<std::string> m_medians;
};

// A row of the table and its goal: the measured time at most `ratio` times
// the anchor's, or at most `overAnchor` seconds more than the anchor's, or
// at most `seconds` in all. A row with both a ratio and an allowance over the
// anchor meets its goal when either holds (the looser one).
struct Row
{
    const char *what;
    std::string measured, anchor;
    double ratio = 0;
    double overAnchor = 0;
    double seconds = 0;
};

// "+10us", "+0.5ms", "<10s": a goal's time as the table shows it, after
// `sign`.
std::string shortTime(char sign, double seconds)
{
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%c%gs", sign, seconds);
    else if (seconds >= 1e-4)
        std::snprintf(text, sizeof text, "%c%gms", sign, seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%c%gus", sign, seconds * 1e6);
    return text;
}

std::string ratioGoal(const Row &row)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1fx", row.ratio);
    return text;
}

std::string goalText(const Row &row)
{
    if (row.ratio > 0 && row.overAnchor > 0)
        return ratioGoal(row) + " or " + shortTime('+', row.overAnchor);
    if (row.ratio > 0)
        return ratioGoal(row);
    if (row.overAnchor > 0)
        return shortTime('+', row.overAnchor);
    return shortTime('<', row.seconds);
}

// "yes" or "NO"; for a row with two goals, which of them holds ("1.5x",
// "+10us" or "both").
std::string metText(const Row &row, double measured, double anchor)
{
    const bool byRatio = row.ratio > 0 && measured <= row.ratio * anchor;
    const bool byAllowance = row.overAnchor > 0 && measured - anchor <= row.overAnchor;
    const bool bySeconds = row.seconds > 0 && measured <= row.seconds;
    if (!byRatio && !byAllowance && !bySeconds)
        return "NO";
    if (row.ratio == 0 || row.overAnchor == 0)
        return "yes";
    if (byRatio && byAllowance)
        return "both";
    return byRatio ? ratioGoal(row) : shortTime('+', row.overAnchor);
}

} // namespace

int main(int argc, char **argv)
{
    // The grid and the printer need a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    // The small banks read in a few microseconds: there a goal of 1.5x would
    // be a goal on the folder listing and the file check that every opening
    // needs, so a difference a teacher cannot feel (10 us) is enough.
    constexpr double kSmallBankAllowance = 10e-6;
    const std::vector<Row> rows{
        {"open + index, true/false 100", "BM_OpenIndexTrueFalse/100", "BM_ReadTrueFalse/100", 1.5,
         kSmallBankAllowance},
        {"open + index, true/false 1000", "BM_OpenIndexTrueFalse/1000", "BM_ReadTrueFalse/1000",
         1.5, kSmallBankAllowance},
        {"open + index, true/false 6900", "BM_OpenIndexTrueFalse/6900", "BM_ReadTrueFalse/6900",
         1.5},
        {"open + index, true/false 11000", "BM_OpenIndexTrueFalse/11000", "BM_ReadTrueFalse/11000",
         1.5},
        {"open + index, practical 2200", "BM_OpenIndexPractical/2200", "BM_ReadPractical/2200",
         1.5},
        {"listing a topic of 50", "BM_ListTopic/50", "BM_PreadTopic/50", 1.5},
        {"listing a chapter of 100", "BM_ListChapter/100", "BM_PreadChapter/100", 1.5},
        {"modification, bank of 6900", "BM_Modify/6900", "BM_CopyFsyncRename/6900", 2.0},
        {"deletion, bank of 6900", "BM_Delete/6900", "BM_CopyFsyncRename/6900", 2.0},
        {"grid fill, topic of 50", "BM_GridFill/50", "BM_TableFill/50", 1.5},
        {"grid fill, chapter of 100", "BM_GridFill/100", "BM_TableFill/100", 1.5},
        {"used marks, chapter of 100", "BM_GridFillMarked/100", "BM_GridFill/100", 0, 0.5e-3},
        {"print layout, 500 questions", "BM_PrintLayout/500", "BM_DrawLines/500", 1.2},
        {"exam PDF, 500 questions", "BM_ExamPdf/500", "BM_PdfLines/500", 1.5},
        {"search, 6900 questions", "BM_Search/6900", "BM_SubstringScan/6900", 2.0},
        {"search, 32767 questions", "BM_Search/32767", "BM_SubstringScan/32767", 2.0},
        {"near-duplicates, 100 x 1000 ch.", "BM_NearDuplicateCheck/1000",
         "BM_ExactCompareChapter/1000", 0, 0, 10e-3},
        {"near-duplicates, 500 x 250 ch.", "BM_NearDuplicateCheck/250",
         "BM_ExactCompareChapter/250", 0, 0, 10e-3},
        {"near pairs, 22 x 100 x 1000 ch.", "BM_NearPairsOfAFile/1000", "BM_ExactPairsOfAFile/1000",
         0, 0, 10},
        {"marking a 200-dpi sheet page", "BM_MarkPage", "BM_DecodePage", 3.0},
        {"near pairs, 1.8 MB true/false", "BM_NearPairsOfAFile/250", "BM_ExactPairsOfAFile/250", 0,
         0, 10},
        {"marking 200 pages in the window", "BM_MarkInWindow/iterations:2",
         "BM_MarkCommandLine/iterations:2", 1.2},
    };
    std::printf("\n%-32s %14s %14s %9s  %13s  %s\n", "operation", "measured (us)", "anchor (us)",
                "ratio", "goal", "met");
    int shown = 0;
    int over = 0;
    int unmeasured = 0;
    for (const Row &row : rows) {
        const auto measured = collector.seconds.find(row.measured);
        const auto anchor = collector.seconds.find(row.anchor);
        const auto failed = collector.errors.contains(row.measured)
                                ? collector.errors.find(row.measured)
                                : collector.errors.find(row.anchor);
        if (failed != collector.errors.end()) {
            std::printf("%-32s not measured: %s\n", row.what, failed->second.c_str());
            ++unmeasured;
            continue;
        }
        if (measured == collector.seconds.end() || anchor == collector.seconds.end())
            continue; // filtered out on the command line
        const double time = measured->second;
        const double anchorTime = anchor->second;
        char ratio[16];
        if (row.ratio == 0 && row.overAnchor > 0)
            std::snprintf(ratio, sizeof ratio, "%+.2fms", (time - anchorTime) * 1e3);
        else
            std::snprintf(ratio, sizeof ratio, "%.2fx", time / anchorTime);
        const std::string met = metText(row, time, anchorTime);
        std::printf("%-32s %14.1f %14.1f %9s  %13s  %s\n", row.what, time * 1e6, anchorTime * 1e6,
                    ratio, goalText(row).c_str(), met.c_str());
        ++shown;
        over += met == "NO";
    }
    std::printf("rows over their goal: %d of %d", over, shown);
    if (unmeasured > 0)
        std::printf("; %d not measured", unmeasured);
    std::printf("\n");
    benchmark::Shutdown();
    return 0;
}
