#pragma once
// Either bank behind one face, for the tests that try a behaviour on every
// kind of bank file (kind 0 the true/false bank, 1 to 3 the conceptual,
// practical and brief banks) and for the subject program of the crash tests.
// Changes go to chapter 1 (topic 1, answer 1) unless told otherwise.

#include "ExpositionBank.h"
#include "TrueFalseBank.h"

#include <QStringList>

class AnyBank
{
public:
    AnyBank(int kind, const QString &folder)
        : m_kind(kind), m_trueFalse(folder), m_exposition(folder)
    {
    }
    BankError open()
    {
        return m_kind ? m_exposition.openBank(ExpositionKind(m_kind - 1)) : m_trueFalse.openBank();
    }
    BankResult<qint32> append(int chapter, int topic, const QString &text)
    {
        return m_kind ? m_exposition.appendRecord(chapter, text)
                      : m_trueFalse.appendRecord({qint16(chapter), qint16(topic), text, 1});
    }
    // "delete N", "modify N TEXT" or "append TEXT".
    BankError apply(const QString &operation)
    {
        const QString word = operation.section(u' ', 0, 0);
        const qint32 n = operation.section(u' ', 1, 1).toInt();
        const QString text = operation.section(u' ', word == u"append" ? 1 : 2);
        if (word == u"delete")
            return m_kind ? m_exposition.deleteRecord(n) : m_trueFalse.deleteRecord(n);
        if (word == u"modify")
            return m_kind ? m_exposition.writeRecord(n, {1, text})
                          : m_trueFalse.writeRecord(n, {1, 1, text, 1});
        return append(1, 1, text).error();
    }
    // A true/false bank lists the topic; the others list the whole chapter.
    BankResult<QList<QuestionListing>> questionsOf(int chapter, int topic = 1)
    {
        return m_kind ? m_exposition.questionsOf(chapter) : m_trueFalse.questionsOf(chapter, topic);
    }
    // The texts chapter 1 lists.
    QStringList texts()
    {
        QStringList texts;
        const BankResult<QList<QuestionListing>> listed = questionsOf(1);
        for (const QuestionListing &row : listed.value())
            texts << row.text;
        return texts;
    }
    QList<qint32> numbers(int chapter) const
    {
        return m_kind ? m_exposition.index().recordNumbers(chapter)
                      : m_trueFalse.index().recordNumbers(chapter, 1);
    }
    // Whole records, records rounded up, trailing bytes, records left out.
    QList<int> counts() const
    {
        const auto get = [](auto &bank) {
            return QList<int>{bank.recordCount(), bank.roundedRecordCount(), bank.trailingBytes(),
                              bank.leftOut().total()};
        };
        return m_kind ? get(m_exposition) : get(m_trueFalse);
    }
    const LeftOutRecords &leftOut() const
    {
        return m_kind ? m_exposition.leftOut() : m_trueFalse.leftOut();
    }

private:
    int m_kind;
    TrueFalseBank m_trueFalse;
    ExpositionBank m_exposition;
};
