#pragma once
// The command line of orvalis-banco: its orders (comprobar, exportar,
// importar, buscar, historial, hojas, corregir,
// estadisticas), their options, the Spanish help and messages, and
// the exit status (0 all well, 1 problems found, 2 something could not be read or written or the
// command line is wrong). Output goes to the two devices it is given, so the whole program runs in
// a test without a process.

#include "BankExport.h"
#include "DemoSource.h"
#include "ExamHistory.h"
#include "QuestionImport.h"

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class BancoCommand
{
public:
    enum ExitStatus
    {
        Success = 0,
        ProblemsFound = 1,
        Failure = 2
    };

    BancoCommand(QIODevice &out, QIODevice &err) : m_out(out), m_err(err) {}

    // arguments: what follows the program's name. A failed write to the
    // output device makes the status Failure, with the reason on the error
    // device, whatever the order found.
    int run(const QStringList &arguments);

    static QString helpText();

private:
    struct Arguments
    {
        QStringList positional;
        QHash<QString, QString> values;
        QSet<QString> flags;
    };

    bool parse(const QStringList &arguments, const QStringList &valueOptions,
               const QStringList &flagOptions, Arguments *parsed);
    bool folderFrom(const Arguments &arguments, int position, QString *folder);
    std::optional<QuestionKind> kindFrom(const Arguments &arguments);
    // The kind --tipo names, or all four without it; nullopt (told) for an
    // unknown name.
    std::optional<QList<QuestionKind>> kindsFrom(const Arguments &arguments);
    // The exam number `value` of --examen gives, from 1; 0 once the mistake
    // is told.
    qint64 examNumber(const QString &value);
    // The exam --examen names, 0 without it (every exam); nullopt once the
    // mistake is told.
    std::optional<qint64> examNumberFrom(const Arguments &arguments);
    // What --penalizacion takes away for each wrong answer (0 to 1, with a
    // comma or a point), 1 without it; nullopt once the mistake is told.
    std::optional<double> penaltyFrom(const Arguments &arguments);

    int runOrder(const QStringList &arguments);
    // exportar --examen N [--version V]: the exam read from the history and
    // exported; nullopt once the reason is told.
    std::optional<bankExport::Result> examToExport(const Arguments &arguments,
                                                   const QString &folder, ExportFormat format);
    // --capitulo and --tema of an import, checked against the catalogue.
    bool placeFrom(const Arguments &arguments, ImportOptions *options);
    // Reports the plan's refusals and warnings, then writes it (unless
    // --simular), bank file after bank file.
    int carryOutImport(const questionImport::Plan &plan, const QList<DemoSourceProblem> &leftOut,
                       const QString &folder, const QString &source, bool byLine,
                       const QSet<QString> &flags);

    int comprobar(const QStringList &arguments);
    int exportar(const QStringList &arguments);
    int importar(const QStringList &arguments);
    int buscar(const QStringList &arguments);
    int historial(const QStringList &arguments);
    // The answer sheets (CorregirOrder.cpp).
    int hojas(const QStringList &arguments);
    int corregir(const QStringList &arguments);
    // What the marked sheets say of each exam and question (EstadisticasOrder.cpp).
    int estadisticas(const QStringList &arguments);
    // Exam `value` of the history, opened to write, if it is a true/false
    // exam; nullopt once the reason is told.
    std::optional<HistoryExam> sheetExam(ExamHistory &history, const QString &value);

    void print(const QString &text);
    // Every write to the output device goes through here, and the first one
    // that fails is kept: the rest are not attempted.
    void write(const QByteArray &bytes);
    void printError(const QString &text);
    int usageError(const QString &text);

    QIODevice &m_out;
    QIODevice &m_err;
    QString m_outError;
};
