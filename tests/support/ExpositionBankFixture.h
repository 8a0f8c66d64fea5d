#pragma once
// The three exposition bank files written byte by byte in a temporary folder
// that is the working directory while the fixture lives. Conceptual, chapter
// 1: questions of 50, 230 and 110 characters; practical, chapter 1: one
// question; brief: two questions in chapter 1 and seven in chapter 2.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

class ExpositionBankFixture
{
public:
    // A question text of exactly `length` characters, told apart by `tag`.
    static QString text(const QString &tag, int length)
    {
        return (tag + QStringLiteral(" ") + QString(length, u'x')).left(length);
    }

    ExpositionBankFixture() : m_previous(QDir::currentPath())
    {
        QList<QPair<int, QString>> brief{{1, QStringLiteral("Mercado meta")},
                                         {1, QStringLiteral("Posicionamiento")}};
        for (int i = 1; i <= 7; ++i)
            brief.append({2, QStringLiteral("Concepto %1 del capítulo 2").arg(i)});
        const bool written =
            write("QELMEXE1.DAT", 502,
                  {{1, text(QStringLiteral("C50"), 50)},
                   {1, text(QStringLiteral("C230"), 230)},
                   {1, text(QStringLiteral("C110"), 110)}}) &&
            write("QELMEXE2.DAT", 1002, {{1, QStringLiteral("Diseñe un plan de precios.")}}) &&
            write("QELMEXE3.DAT", 152, brief);
        m_ready = written && QDir::setCurrent(m_dir.path());
    }
    ~ExpositionBankFixture() { QDir::setCurrent(m_previous); }

    bool isReady() const { return m_ready; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    bool write(const char *name, int length, const QList<QPair<int, QString>> &records)
    {
        QFile file(m_dir.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (const auto &[chapter, text] : records) {
            QByteArray record(length, ' ');
            qToLittleEndian<qint16>(qint16(chapter), record.data());
            const QByteArray bytes = text.toLatin1();
            record.replace(2, bytes.size(), bytes);
            file.write(record);
        }
        return true;
    }

    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};
