#pragma once
// A label of the title block: Arial bold at a size in points, one colour,
// transparent over its window's background, centred and wrapped.

#include <QColor>
#include <QLabel>

class TitleLabel : public QLabel
{
public:
    TitleLabel(const QString &name, const QString &text, double pointSize, const QColor &colour,
               QWidget *parent);
};
