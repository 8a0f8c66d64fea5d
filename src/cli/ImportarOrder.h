#pragma once
// orvalis-banco importar: questions of a file in the text form, Moodle XML
// or GIFT, all checked before any is added to the bank.

#include "Order.h"

#include "DemoSource.h"
#include "QuestionImport.h"

#include <QList>
#include <QSet>

class ImportarOrder : public Order
{
public:
    using Order::Order;
    QString name() const override { return QStringLiteral("importar"); }
    int run(const QStringList &arguments) override;

private:
    // --capitulo and --tema of an import, checked against the catalogue.
    bool placeFrom(const Arguments &arguments, ImportOptions *options);
    // Reports the plan's refusals and warnings, then writes it (unless
    // --simular), bank file after bank file.
    int carryOutImport(const questionImport::Plan &plan, const QList<DemoSourceProblem> &leftOut,
                       const QString &folder, const QString &source, bool byLine,
                       const QSet<QString> &flags);
};
