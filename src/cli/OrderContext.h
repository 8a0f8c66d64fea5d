#pragma once
// What every order of orvalis-banco works with: the two devices its output
// and its messages go to, the first failure to write the output, and the
// reading of the arguments the orders have in common (options, the bank's
// folder, --tipo, --examen, --penalizacion). One context is shared by the
// orders of one command (BancoCommand), which reports a failed write once
// the order is done.

#include "ExamHistory.h"
#include "QuestionKind.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class OrderContext
{
public:
    enum ExitStatus
    {
        Success = 0,
        ProblemsFound = 1,
        Failure = 2
    };

    struct Arguments
    {
        QStringList positional;
        QHash<QString, QString> values;
        QSet<QString> flags;
    };

    // The start of every message.
    static inline const QString kProgram = QStringLiteral("orvalis-banco");
    // The kinds --tipo names, as a message lists them.
    static inline const QString kKindChoices = QStringLiteral("test, conceptual, practica o breve");

    OrderContext(QIODevice &out, QIODevice &err) : m_out(out), m_err(err) {}

    // The number a value of digits only spells (at most maxDigits), else 0:
    // toLongLong() would also take " 5" or "+5".
    static qint64 digitsValue(const QString &value, int maxDigits);

    // Options with a value (--name value or --name=value), flags, and the
    // rest in order; "--" ends the options. False once the mistake is told.
    bool parse(const QStringList &arguments, const QStringList &valueOptions,
               const QStringList &flagOptions, Arguments *parsed);
    // The folder at `position` of the positional arguments ("." without it),
    // which must exist and be the last; false once the mistake is told.
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
    // Exam `value` of the history, opened to write, if it is a true/false
    // exam; nullopt once the reason is told.
    std::optional<HistoryExam> sheetExam(ExamHistory &history, const QString &value);

    void print(const QString &text);
    // Every write to the output device goes through here, and the first one
    // that fails is kept: the rest are not attempted.
    void write(const QByteArray &bytes);
    void printError(const QString &text);
    // The mistake and where to read how the program is used; Failure.
    int usageError(const QString &text);

    // Why the first failed write to the output device failed; empty while
    // none has.
    QString outError() const { return m_outError; }
    void clearOutError() { m_outError.clear(); }

private:
    QIODevice &m_out;
    QIODevice &m_err;
    QString m_outError;
};
