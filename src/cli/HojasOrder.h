#pragma once
// orvalis-banco hojas: the PDF of the answer sheets of a true/false exam of
// the history, every version's copies numbered in turn.

#include "Order.h"

class HojasOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("hojas"); }
    int run(const QStringList &arguments) override;
};
