#pragma once
// The Tab order of a window taken from where its controls lie rather than
// from the order in which they were created. Controls whose places overlap
// vertically form a row; rows go from top to bottom and, within a row, from
// left to right. A frame or strip holding controls takes its place in its row
// as one control, and its own controls follow the same rule inside it.

class QWidget;

namespace TabOrder {

// Sets the Tab chain of `window`'s controls by their current places; called
// once its controls are built at their design places.
void followPlaces(QWidget *window);

} // namespace TabOrder
