#include "ChapterTitles.h"

#include "CatalogueData.h"

QStringList ChapterTitles::entries()
{
    QStringList list;
    list.reserve(kCount);
    for (int chapter = 1; chapter <= kCount; ++chapter)
        list.append(entry(chapter));
    return list;
}

QString ChapterTitles::entry(int chapter)
{
    if (chapter < 1 || chapter > kCount)
        return QString();
    return QStringLiteral("%1. %2").arg(chapter, 2).arg(title(chapter));
}

QString ChapterTitles::title(int chapter)
{
    if (chapter < 1 || chapter > kCount)
        return QString();
    return QString::fromUtf8(catalogue_data::kCourse[static_cast<size_t>(chapter - 1)].title);
}
