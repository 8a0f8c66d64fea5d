#pragma once
// orvalis-banco corregir: the scans of an exam's answer sheets marked into
// grades, with the teacher's decisions and list of students, the marking
// kept in the history, and the grades as CSV or JSON with a review PDF.

#include "Order.h"

class CorregirOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("corregir"); }
    int run(const QStringList &arguments) override;
};
