#include "Shell.h"

#include "Apertura.h"
#include "Fondo.h"
#include "Forms.h"
#include "Orvalis.h"
#include "WindowNames.h"

#include <QApplication>
#include <QIcon>

namespace Shell {

void registerForms()
{
    Forms::registerMainForm(WindowNames::kOrvalis, [] { return new Orvalis; });
    Forms::registerForm(WindowNames::kFondo, [] { return new Fondo; });
    Forms::registerForm(WindowNames::kApertura, [] { return new Apertura; });
}

void start(const QString &notice)
{
    Orvalis::setStartupNotice(notice);
    // For a moment at start-up no window is open: the first splash window has
    // closed and the main window is not there yet.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/toolbar_10.png")));
    Forms::show(WindowNames::kApertura);
}

} // namespace Shell
