#pragma once
// The course's table of contents as fixed program data: 22 chapter titles and
// the titles of each chapter's topics, in order. ChapterTitles and
// TopicCatalogue build the texts the windows show from it.

#include <array>

namespace catalogue_data {

inline constexpr int kChapters = 22;
inline constexpr int kMaxTopics = 10;

struct Chapter
{
    const char *title; // UTF-8, without the number
    int topicCount;
    std::array<const char *, kMaxTopics> topics; // UTF-8; entries past topicCount are null
};

extern const std::array<Chapter, kChapters> kCourse;

} // namespace catalogue_data
