#pragma once
// The versions an exam last left the output window in, per selection window,
// so that an exam and its answer template made from the same selection share
// the number of versions and the seed: the template opens in the versions of
// the exam just printed (and the exam sent again in those of its template),
// and its key matches every printed copy without the teacher typing the seed
// back. A selection is the same when it holds the same questions in the same
// order, whether it went out as the exam or as its template.

#include "ExamDescription.h"

#include <QString>

#include <optional>

namespace SentVersions {

struct Choice
{
    int versions = 1;
    quint32 seed = 0;
};

// `exam` left the output window, in its versions, for the selection of `window`.
void remember(const QString &window, const ExamDescription &exam);
// The versions and seed the same selection of `window` last left in, when
// that was more than one version.
std::optional<Choice> recall(const QString &window, const ExamDescription &exam);

} // namespace SentVersions
