#include "CategoryPlace.h"

#include "ExportQuestions.h"
#include "TopicCatalogue.h"

#include <QHash>

namespace categoryPlace {

namespace {

// The export's own category names, without the "Orvalis" at their head,
// joined by a character no name holds: the one definition of a category.
QHash<QString, Place> knownCategories()
{
    QHash<QString, Place> known;
    const TopicCatalogue catalogue;
    for (const QuestionKind kind : kQuestionKinds) {
        for (int chapter = 1; chapter <= TopicCatalogue::kChapters; ++chapter) {
            const int topics = kind == QuestionKind::TrueFalse ? catalogue.topicCount(chapter) : 0;
            for (int topic = topics == 0 ? 0 : 1; topic <= topics; ++topic) {
                ExportQuestion question;
                question.kind = kind;
                question.chapter = chapter;
                question.topic = topic;
                known.insert(exportQuestions::categoryPath(question).mid(1).join(QChar(0x1F)),
                             Place{kind, chapter, topic});
            }
        }
    }
    return known;
}

} // namespace

QStringList split(QStringView text)
{
    QStringList names;
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'/') {
            name += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'/') {
            name += u'/';
            ++i;
        } else {
            names.append(name.trimmed());
            name.clear();
        }
    }
    names.append(name.trimmed());
    return names;
}

std::optional<Place> placeOf(QStringView categoryText)
{
    static const QHash<QString, Place> known = knownCategories();
    const QStringList names = split(categoryText);
    // A true/false topic is three names deep, an exposition chapter two.
    for (const qsizetype depth : {3, 2}) {
        if (names.size() < depth)
            continue;
        const auto found = known.constFind(names.mid(names.size() - depth).join(QChar(0x1F)));
        if (found != known.constEnd())
            return *found;
    }
    return std::nullopt;
}

} // namespace categoryPlace
