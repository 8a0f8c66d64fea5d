#pragma once
// The small help picture on the help buttons of the working windows and the
// output window: a white question mark on a blue disc, like the toolbar's
// help button, drawn in code so every window can use it.

#include <QIcon>

QIcon helpPicture();
