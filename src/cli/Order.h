#pragma once
// One order of orvalis-banco (comprobar, exportar, …): its name and what it
// does with the arguments that follow it, as KeePassXC's command line has one
// class per command. BancoCommand finds the order by its name and runs it;
// every order works over the same OrderContext, whose tools it reaches here
// under short names, and no order knows another.

#include "OrderContext.h"

#include <QString>
#include <QStringList>

class Order
{
public:
    explicit Order(OrderContext &context) : m_context(context) {}
    virtual ~Order() = default;
    Order(const Order &) = delete;
    Order &operator=(const Order &) = delete;

    // The word that asks for the order on the command line.
    virtual QString name() const = 0;
    // arguments: what follows the order's name. An exit status.
    virtual int run(const QStringList &arguments) = 0;

protected:
    using enum OrderContext::ExitStatus;
    using Arguments = OrderContext::Arguments;
    static inline const QString &kProgram = OrderContext::kProgram;
    static inline const QString &kKindChoices = OrderContext::kKindChoices;

    static qint64 digitsValue(const QString &value, int maxDigits)
    {
        return OrderContext::digitsValue(value, maxDigits);
    }
    bool parse(const QStringList &arguments, const QStringList &valueOptions,
               const QStringList &flagOptions, Arguments *parsed)
    {
        return m_context.parse(arguments, valueOptions, flagOptions, parsed);
    }
    bool folderFrom(const Arguments &arguments, int position, QString *folder)
    {
        return m_context.folderFrom(arguments, position, folder);
    }
    std::optional<QuestionKind> kindFrom(const Arguments &arguments)
    {
        return m_context.kindFrom(arguments);
    }
    std::optional<QList<QuestionKind>> kindsFrom(const Arguments &arguments)
    {
        return m_context.kindsFrom(arguments);
    }
    qint64 examNumber(const QString &value) { return m_context.examNumber(value); }
    std::optional<qint64> examNumberFrom(const Arguments &arguments)
    {
        return m_context.examNumberFrom(arguments);
    }
    std::optional<double> penaltyFrom(const Arguments &arguments)
    {
        return m_context.penaltyFrom(arguments);
    }
    std::optional<HistoryExam> sheetExam(ExamHistory &history, const QString &value)
    {
        return m_context.sheetExam(history, value);
    }
    void print(const QString &text) { m_context.print(text); }
    void write(const QByteArray &bytes) { m_context.write(bytes); }
    void printError(const QString &text) { m_context.printError(text); }
    int usageError(const QString &text) { return m_context.usageError(text); }

private:
    OrderContext &m_context;
};
