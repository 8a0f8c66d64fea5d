#pragma once
// orvalis-banco estadisticas: what the marked sheets of the history say
// about each exam and each of its questions.

#include "Order.h"

class EstadisticasOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("estadisticas"); }
    int run(const QStringList &arguments) override;
};
