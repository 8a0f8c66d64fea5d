// Marking a pile of 200 scanned pages in the marking window (the scans
// chosen, "Corregir", until the grades are listed) against orvalis-banco
// corregir on the same file: both read every page on every core; the window
// adds a thread of its own, the progress bar and the grid.

#include "BancoCommand.h"
#include "Correccion.h"
#include "ExamHistory.h"
#include "SheetPdf.h"
#include "SheetRecords.h"
#include "TrueFalseBank.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 40;

// A bank of 40 questions, an exam of them in the history and 200 of its
// sheets as a PDF, made once; the working directory is its folder.
struct Pile
{
    QTemporaryDir dir;
    QString pdf;
    QString error;

    Pile()
    {
        QDir::setCurrent(dir.path());
        TrueFalseBank bank;
        if (!bank.openBank().ok()) {
            error = "no bank";
            return;
        }
        HistoryExam exam{0, QDateTime::currentDateTime(), false, "Parcial", 1, 0, {}};
        for (int n = 1; n <= kQuestions; ++n) {
            const QString text = QStringLiteral("Pregunta %1 del examen").arg(n);
            (void)bank.appendRecord({1, 1, text, qint16(n % 2)});
            exam.questions.append({QuestionKind::TrueFalse, 1, 1, text, std::nullopt});
        }
        bank.closeBank();
        ExamHistory history;
        QString failed = history.record(exam);
        const std::optional<quint32> identifier =
            sheetRecords::identifier(history, exam.id, &failed);
        if (!identifier) {
            error = "no history: " + failed;
            return;
        }
        const SheetSet set{exam.id, *identifier, exam.title, 1, kQuestions, 200, 1};
        pdf = dir.filePath("pila.pdf");
        QFile file(pdf);
        if (!file.open(QIODevice::WriteOnly) || file.write(sheetPdf::pdf(set)) < 0)
            error = "no PDF";
    }
};

Pile &pile()
{
    static Pile made;
    QDir::setCurrent(made.dir.path());
    return made;
}

void BM_MarkCommandLine(benchmark::State &state)
{
    Pile &p = pile();
    if (!p.error.isEmpty())
        return state.SkipWithError(p.error.toStdString().c_str());
    for (auto _ : state) {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = BancoCommand(out, err).run(
            {"corregir", p.pdf, p.dir.path(), "--examen", "1", "--salida", "notas.csv"});
        if (status == BancoCommand::Failure)
            return state.SkipWithError("corregir failed");
    }
}

void BM_MarkInWindow(benchmark::State &state)
{
    Pile &p = pile();
    if (!p.error.isEmpty())
        return state.SkipWithError(p.error.toStdString().c_str());
    Correccion window;
    window.Form_Load();
    Correccion::setOpenAnswerForTesting([&p](const QString &) { return QStringList{p.pdf}; });
    window.CommandEscaneos_Click();
    Correccion::setOpenAnswerForTesting({});
    auto *status = window.findChild<QLabel *>("LabelEstado");
    for (auto _ : state) {
        window.CommandCorregir_Click();
        while (status->text() == QStringLiteral("Corrigiendo…"))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Every sheet listed (the blank sheets of the pile are pending: no DNI).
    if (window.findChild<QTableWidget *>("GridNotas")->rowCount() != 200)
        state.SkipWithError(status->text().toStdString().c_str());
}

} // namespace

BENCHMARK(BM_MarkCommandLine)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkInWindow)->Iterations(2)->Unit(benchmark::kMillisecond);
