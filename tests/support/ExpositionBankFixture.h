#pragma once
// The three exposition bank files written byte by byte in a temporary folder
// that is the working directory while the fixture lives. Conceptual, chapter
// 1: questions of 50, 230 and 110 characters; practical, chapter 1: one
// question; brief: two questions in chapter 1 and seven in chapter 2.

#include "BankBytes.h"
#include "EmptyBankFolder.h"

class ExpositionBankFixture : public EmptyBankFolder
{
public:
    // A question text of exactly `length` characters, told apart by `tag`.
    static QString text(const QString &tag, int length)
    {
        return (tag + QStringLiteral(" ") + QString(length, u'x')).left(length);
    }

    ExpositionBankFixture()
    {
        using namespace bankBytes;
        const auto conceptualOf = [](const char *tag, int length) {
            return conceptual(1, text(QLatin1String(tag), length).toLatin1());
        };
        QByteArray briefs = brief(1, "Mercado meta") + brief(1, "Posicionamiento");
        for (int i = 1; i <= 7; ++i)
            briefs += brief(2, QStringLiteral("Concepto %1 del capítulo 2").arg(i).toLatin1());
        write("QELMEXE1.DAT",
              conceptualOf("C50", 50) + conceptualOf("C230", 230) + conceptualOf("C110", 110));
        write("QELMEXE2.DAT",
              exposition(1002, 1, QStringLiteral("Diseñe un plan de precios.").toLatin1()));
        write("QELMEXE3.DAT", briefs);
    }
};
