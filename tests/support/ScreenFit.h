#pragma once
// Checks of a window against its screen for the layout tests that run on a
// configured screen (QT_QPA_PLATFORM=offscreen:configfile=FILE). The screen a
// run expects is named by ORVALIS_SCREEN ("1366x768@1": device pixels and
// device pixel ratio); without it any screen is taken as it comes.

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>

namespace ScreenFit {

// Empty when the primary screen is the one this run was set up for.
inline QString screenMismatch()
{
    const QByteArray wanted = qgetenv("ORVALIS_SCREEN");
    if (wanted.isEmpty())
        return {};
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize device = screen->geometry().size() * screen->devicePixelRatio();
    const QString got = QStringLiteral("%1x%2@%3")
                            .arg(device.width())
                            .arg(device.height())
                            .arg(screen->devicePixelRatio());
    return got == QString::fromLatin1(wanted) ? QString() : QStringLiteral("screen is ") + got;
}

// What lies outside where it must be: the window's frame outside its screen's
// available area, a shown control outside the window.
inline QStringList outsidePlaces(const QWidget *window)
{
    QStringList outside;
    const QRect available = window->screen()->availableGeometry();
    if (!available.contains(window->frameGeometry()))
        outside << QStringLiteral("frame %1,%2 %3x%4 outside %5x%6")
                       .arg(window->frameGeometry().x())
                       .arg(window->frameGeometry().y())
                       .arg(window->frameGeometry().width())
                       .arg(window->frameGeometry().height())
                       .arg(available.width())
                       .arg(available.height());
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        if (control->objectName().isEmpty() || control->isWindow() || !control->isVisibleTo(window))
            continue;
        const QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
        if (!window->rect().contains(place))
            outside << control->objectName();
    }
    return outside;
}

// The entries of `list` wider than its inside, leaving room for a vertical
// scroll bar: each would bring in a horizontal scroll bar.
inline QStringList overwideEntries(const QListWidget *list)
{
    const int room = list->contentsRect().width() - list->verticalScrollBar()->sizeHint().width();
    QStringList overwide;
    for (int row = 0; row < list->count(); ++row) {
        const int width = list->sizeHintForIndex(list->model()->index(row, 0)).width();
        if (width > room)
            overwide
                << QStringLiteral("%1 (%2 > %3)").arg(list->item(row)->text()).arg(width).arg(room);
    }
    return overwide;
}

// The chapter titles of the window's List1 wider than it, and where the
// window has a topic list List2, the topic titles of every chapter wider
// than that list (or a chapter that shows no topics).
inline QStringList overwideTitles(QWidget *window)
{
    auto *chapters = window->findChild<QListWidget *>(QStringLiteral("List1"));
    auto *topics = window->findChild<QListWidget *>(QStringLiteral("List2"));
    QStringList overwide = overwideEntries(chapters);
    for (int row = 0; topics && row < chapters->count(); ++row) {
        chapters->setCurrentRow(row);
        if (topics->count() == 0)
            overwide << QStringLiteral("no topics in %1").arg(chapters->item(row)->text());
        overwide += overwideEntries(topics);
    }
    return overwide;
}

// The places of the named children of `window`, taken before a resize.
inline QList<QRect> places(const QWidget *window, const QStringList &names)
{
    QList<QRect> found;
    for (const QString &name : names)
        found.append(window->findChild<QWidget *>(name)->geometry());
    return found;
}

// How each named child moved and grew since `before`: "name dx,dy +dw,+dh".
inline QStringList placeChanges(const QWidget *window, const QStringList &names,
                                const QList<QRect> &before)
{
    QStringList changes;
    const QList<QRect> now = places(window, names);
    for (qsizetype i = 0; i < names.size(); ++i)
        changes.append(QStringLiteral("%1 %2,%3 +%4,+%5")
                           .arg(names[i])
                           .arg(now[i].x() - before[i].x())
                           .arg(now[i].y() - before[i].y())
                           .arg(now[i].width() - before[i].width())
                           .arg(now[i].height() - before[i].height()));
    return changes;
}

} // namespace ScreenFit
