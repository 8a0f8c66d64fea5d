#include "QuestionAnswers.h"

#include "RecordFile.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QHash>

#include <memory>

namespace questionAnswers {

std::optional<bool> of(const HistoryQuestion &question, const AnswerOf &bank)
{
    if (question.kind != QuestionKind::TrueFalse)
        return std::nullopt;
    if (question.answer)
        return question.answer;
    return bank ? bank(question) : std::nullopt;
}

AnswerOf inBank(const QString &folder, QString *error)
{
    struct Bank
    {
        std::optional<TrueFalseBank> file;
        bool opened = false;
        // The listing of each (chapter, topic) asked for, read once.
        QHash<QPair<int, int>, QList<QuestionListing>> topics;
    };
    auto bank = std::make_shared<Bank>();
    return [bank, folder, error](const HistoryQuestion &question) -> std::optional<bool> {
        if (!bank->opened) {
            bank->opened = true;
            const QString wanted = QDir(folder).filePath(TrueFalseBank::loadName());
            // Opening a missing file would create it: a missing file is an
            // empty bank.
            if (!RecordFile::caseVariants(wanted).isEmpty()) {
                bank->file.emplace(folder);
                if (const BankError failed = bank->file->openBank(); !failed.ok()) {
                    if (error)
                        *error = failed.detail.isEmpty() ? failed.message : failed.detail;
                    bank->file.reset();
                }
            }
        }
        if (!bank->file)
            return std::nullopt;
        const QPair<int, int> topic{question.chapter, question.topic};
        auto listing = bank->topics.find(topic);
        if (listing == bank->topics.end()) {
            const BankResult<QList<QuestionListing>> read =
                bank->file->questionsOf(question.chapter, question.topic);
            if (!read && error)
                *error = read.error().detail.isEmpty() ? read.error().message : read.error().detail;
            listing =
                bank->topics.insert(topic, read.ok() ? read.value() : QList<QuestionListing>());
        }
        for (const QuestionListing &listed : std::as_const(*listing))
            if (listed.text == question.text)
                return listed.answer;
        return std::nullopt;
    };
}

} // namespace questionAnswers
