#pragma once
// orvalis-banco buscar: the questions whose text holds every word asked
// for, listed by kind, chapter and topic, as text or JSON.

#include "Order.h"

class BuscarOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("buscar"); }
    int run(const QStringList &arguments) override;
};
