#pragma once
// Bank folders for the GUI tests, each the working directory while it lives:
// an empty one, for the tests that write the bank files each of them needs,
// and the base of the two that write a bank into it byte by byte.
#include "BankBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class EmptyBankFolder
{
public:
    EmptyBankFolder() : m_previous(QDir::currentPath())
    {
        m_ready = m_dir.isValid() && QDir::setCurrent(m_dir.path());
    }
    ~EmptyBankFolder() { QDir::setCurrent(m_previous); }

    bool isReady() const { return m_ready; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

protected:
    // Writes the file and keeps the folder ready only if it was written whole.
    void write(const char *name, const QByteArray &bytes)
    {
        QFile file(filePath(QLatin1String(name)));
        m_ready = m_ready && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};

// A true/false bank file written byte by byte in a temporary folder that is
// the working directory while the fixture lives: chapter 1 topic 1 holds two
// questions, chapter 1 topic 2 three, every other topic none.

class TrueFalseBankFixture : public EmptyBankFolder
{
public:
    TrueFalseBankFixture()
    {
        using bankBytes::trueFalse;
        write("QELMEXT2.DAT",
              trueFalse(1, 1, "La demanda de un bien suele bajar cuando sube su precio.", 1) +
                  trueFalse(1, 2, "Pregunta 1 del tema 2", 1) +
                  trueFalse(1, 1, "El precio no influye nunca en la demanda.", 0) +
                  trueFalse(1, 2, "Pregunta 2 del tema 2", 0) +
                  trueFalse(1, 2, "Pregunta 3 del tema 2", 1));
    }
};

// The three exposition bank files written byte by byte in a temporary folder
// that is the working directory while the fixture lives. Conceptual, chapter
// 1: questions of 50, 230 and 110 characters; practical, chapter 1: one
// question; brief: two questions in chapter 1 and seven in chapter 2.

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
        using bankBytes::record;
        QByteArray conceptuals,
            briefs = record(3, 1, "Mercado meta") + record(3, 1, "Posicionamiento");
        for (const int length : {50, 230, 110})
            conceptuals += record(1, 1, text(QStringLiteral("C%1").arg(length), length).toLatin1());
        for (int i = 1; i <= 7; ++i)
            briefs += record(3, 2, QStringLiteral("Concepto %1 del capítulo 2").arg(i).toLatin1());
        write("QELMEXE1.DAT", conceptuals);
        write("QELMEXE2.DAT",
              record(2, 1, QStringLiteral("Diseñe un plan de precios.").toLatin1()));
        write("QELMEXE3.DAT", briefs);
    }
};
