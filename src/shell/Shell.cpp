#include "Shell.h"

#include "Apertura.h"
#include "Fondo.h"
#include "Forms.h"
#include "Orvalis.h"

#include <QApplication>
#include <QIcon>

namespace Shell {

void registerForms()
{
    Forms::registerMainForm(QStringLiteral("Orvalis"), [] { return new Orvalis; });
    Forms::registerForm(QStringLiteral("Fondo"), [] { return new Fondo; });
    Forms::registerForm(QStringLiteral("Apertura"), [] { return new Apertura; });
}

void start()
{
    // For a moment at start-up no window is open: the first splash window has
    // closed and the main window is not there yet.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/toolbar_10.png")));
    Forms::show(QStringLiteral("Apertura"));
}

} // namespace Shell
