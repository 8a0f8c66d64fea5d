#pragma once
// orvalis-banco exportar: the bank's questions, or an exam of the history,
// in Moodle XML, GIFT, CSV or the text form, to the output or to a file
// replaced only by a complete one.

#include "Order.h"

#include "BankExport.h"

#include <optional>

class ExportarOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("exportar"); }
    int run(const QStringList &arguments) override;

private:
    // exportar --examen N [--version V]: the exam read from the history and
    // exported; nullopt once the reason is told.
    std::optional<bankExport::Result> examToExport(const Arguments &arguments,
                                                   const QString &folder, ExportFormat format);
};
