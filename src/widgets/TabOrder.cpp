#include "TabOrder.h"

#include <QList>
#include <QWidget>

#include <algorithm>

namespace {

// The widget that takes the focus for `widget` (a grid hands it to its table).
QWidget *focusTaker(QWidget *widget)
{
    while (widget->focusProxy())
        widget = widget->focusProxy();
    return widget;
}

bool takesFocus(QWidget *widget)
{
    return focusTaker(widget)->focusPolicy() != Qt::NoFocus;
}

bool holdsFocusTakers(QWidget *widget)
{
    if (takesFocus(widget))
        return true;
    const QList<QWidget *> inside = widget->findChildren<QWidget *>();
    return std::any_of(inside.cbegin(), inside.cend(), [](QWidget *child) {
        return !child->isWindow() && !child->focusProxy() && takesFocus(child);
    });
}

void appendInPlaceOrder(QWidget *container, QList<QWidget *> &chain)
{
    QList<QWidget *> units;
    for (QObject *object : container->children()) {
        auto *widget = qobject_cast<QWidget *>(object);
        if (widget && !widget->isWindow() && holdsFocusTakers(widget))
            units.append(widget);
    }
    std::stable_sort(units.begin(), units.end(), [](const QWidget *a, const QWidget *b) {
        return a->geometry().top() < b->geometry().top();
    });
    // Rows: a control whose top lies above the lowest bottom of the row so
    // far overlaps it and joins it.
    qsizetype rowStart = 0;
    while (rowStart < units.size()) {
        int rowBottom = units[rowStart]->geometry().bottom();
        qsizetype rowEnd = rowStart + 1;
        while (rowEnd < units.size() && units[rowEnd]->geometry().top() <= rowBottom) {
            rowBottom = qMax(rowBottom, units[rowEnd]->geometry().bottom());
            ++rowEnd;
        }
        std::stable_sort(units.begin() + rowStart, units.begin() + rowEnd,
                         [](const QWidget *a, const QWidget *b) {
                             return a->geometry().left() < b->geometry().left();
                         });
        for (qsizetype i = rowStart; i < rowEnd; ++i) {
            QWidget *unit = units[i];
            if (takesFocus(unit))
                chain.append(focusTaker(unit));
            else
                appendInPlaceOrder(unit, chain);
        }
        rowStart = rowEnd;
    }
}

} // namespace

namespace TabOrder {

void followPlaces(QWidget *window)
{
    QList<QWidget *> chain;
    appendInPlaceOrder(window, chain);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace TabOrder
