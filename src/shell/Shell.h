#pragma once
// The application shell's entry points: registering its own windows (the main
// window Orvalis, the background Fondo, the splash Apertura) with the form
// registry, and starting the program by showing the splash window.

#include <QString>

namespace Shell {

void registerForms();
// The splash window is the start-up window; the program keeps running while
// it gives way to the main window, and ends only through the main window.
// `notice`, when not empty, is said once the main window is up.
void start(const QString &notice = {});

} // namespace Shell
