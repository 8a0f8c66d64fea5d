#pragma once
// orvalis-banco historial: the exams of the history, read without changing
// it, or one exam with its questions and the order of each version.

#include "Order.h"

class HistorialOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("historial"); }
    int run(const QStringList &arguments) override;
};
