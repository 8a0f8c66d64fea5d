#pragma once
// What a screen reader (Orca reads Qt programs through AT-SPI) says of the
// program's controls and news. A list, grid, field or icon-only button tells
// the reader nothing of what it is unless it is named: each is named once,
// where it is made, in the words of the caption that stands beside it, and
// the visible caption stays as it is. A message the teacher should hear while
// working elsewhere (an exam sent to the printer) goes to a panel that the
// reader presents as a status-bar notification whenever its text changes.

#include <QString>

class QLabel;
class QAbstractItemView;
class QWidget;

namespace ScreenReader {

// The name a caption gives: without its access key's '&' and the colon
// that ends it ("&Versiones:" names "Versiones").
QString nameFrom(const QString &caption);

// Names `control` after `caption` (see nameFrom). A control that hands its
// focus to an inner widget (a grid to its table) names that one too, since
// the reader lands on it.
void name(QWidget *control, const QString &caption);
// The same from the label that stands beside the control, which becomes the
// control's buddy: readers also follow that "labelled by" relation.
void name(QWidget *control, QLabel *caption);

// From now on the reader presents `panel` as a notification whose text is
// the panel's.
void makeAnnouncer(QLabel *panel);
// Names a table's corner button, which selects every cell, for a reader.
void nameCorner(QAbstractItemView *table);
// Shows `text` in `panel` and, when it is new and not empty, has the reader
// say it.
void announce(QLabel *panel, const QString &text);

} // namespace ScreenReader
