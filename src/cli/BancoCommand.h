#pragma once
// The command line of orvalis-banco: its orders (comprobar, exportar,
// importar, buscar, historial, hojas, corregir,
// estadisticas), their options, the Spanish help and messages, and
// the exit status (0 all well, 1 problems found, 2 something could not be read or written or the
// command line is wrong). Output goes to the two devices it is given, so the whole program runs in
// a test without a process. Each order is a class of its own (Order.h); this one finds the order
// named and runs it over a context they share (OrderContext.h).

#include "OrderContext.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

class BancoCommand
{
public:
    using ExitStatus = OrderContext::ExitStatus;
    using enum OrderContext::ExitStatus; // Success, ProblemsFound, Failure

    BancoCommand(QIODevice &out, QIODevice &err) : m_context(out, err) {}

    // arguments: what follows the program's name. A failed write to the
    // output device makes the status Failure, with the reason on the error
    // device, whatever the order found.
    int run(const QStringList &arguments);

    static QString helpText();

private:
    int runOrder(const QStringList &arguments);

    OrderContext m_context;
};
