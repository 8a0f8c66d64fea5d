#pragma once
// orvalis-banco comprobar: the check of a bank folder's four files
// (BankCheck), told as text or JSON; nothing is changed.

#include "Order.h"

class ComprobarOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("comprobar"); }
    int run(const QStringList &arguments) override;
};
