#pragma once
// A true/false bank file for window tests, written byte by byte in a
// temporary folder that becomes the working directory while the fixture
// lives: chapter 1 topic 1 holds two questions, chapter 1 topic 2 seven,
// chapter 4 topic 4 one, every other topic none.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

struct BankQuestion
{
    qint16 chapter;
    qint16 topic;
    QByteArray text; // Windows-1252
    qint16 answer;
};

class TrueFalseBankFixture
{
public:
    // The questions in file order.
    static QList<BankQuestion> questions()
    {
        QList<BankQuestion> list{
            {1, 1, "La demanda de un bien suele bajar cuando sube su precio.", 1},
            {1, 2, "Pregunta 1 del tema 2", 1},
            {1, 1, "El precio no influye nunca en la demanda.", 0},
            {4, 4, "Una encuesta de intenci\xF3n de compra ayuda a estimar la demanda.", 1},
        };
        for (qint16 k = 2; k <= 7; ++k)
            list.append({1, 2, "Pregunta " + QByteArray::number(k) + " del tema 2",
                         qint16(k % 2 == 0 ? 0 : (k == 7 ? 2 : 1))});
        return list;
    }

    static QByteArray record(const BankQuestion &q)
    {
        QByteArray bytes(256, ' ');
        qToLittleEndian<qint16>(q.chapter, bytes.data());
        qToLittleEndian<qint16>(q.topic, bytes.data() + 2);
        bytes.replace(4, q.text.size(), q.text);
        qToLittleEndian<qint16>(q.answer, bytes.data() + 254);
        return bytes;
    }

    TrueFalseBankFixture() : m_previous(QDir::currentPath())
    {
        QFile file(m_dir.filePath(QStringLiteral("QELMEXT2.DAT")));
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (const BankQuestion &q : questions())
            file.write(record(q));
        file.close();
        m_ready = QDir::setCurrent(m_dir.path());
    }
    ~TrueFalseBankFixture() { QDir::setCurrent(m_previous); }

    bool isReady() const { return m_ready; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};
