#pragma once
// A true/false bank file written byte by byte in a temporary folder that is
// the working directory while the fixture lives: chapter 1 topic 1 holds two
// questions, chapter 1 topic 2 three, every other topic none.

#include <QTemporaryDir>
#include <QtEndian>

class TrueFalseBankFixture
{
public:
    TrueFalseBankFixture() : m_previous(QDir::currentPath())
    {
        const QList<QPair<QByteArray, qint16>> questions{
            // "chapter topic text", answer
            {"1 1 La demanda de un bien suele bajar cuando sube su precio.", 1},
            {"1 2 Pregunta 1 del tema 2", 1},
            {"1 1 El precio no influye nunca en la demanda.", 0},
            {"1 2 Pregunta 2 del tema 2", 0},
            {"1 2 Pregunta 3 del tema 2", 1}};
        QFile file(m_dir.filePath(QStringLiteral("QELMEXT2.DAT")));
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (const auto &[line, answer] : questions) {
            QByteArray record(256, ' ');
            qToLittleEndian<qint16>(line.at(0) - '0', record.data());
            qToLittleEndian<qint16>(line.at(2) - '0', record.data() + 2);
            record.replace(4, line.size() - 4, line.mid(4));
            qToLittleEndian<qint16>(answer, record.data() + 254);
            file.write(record);
        }
        file.close();
        m_ready = QDir::setCurrent(m_dir.path());
    }
    ~TrueFalseBankFixture() { QDir::setCurrent(m_previous); }

    bool isReady() const { return m_ready; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ready = false;
};
