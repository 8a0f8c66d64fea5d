// Orvalis: builds marketing examinations from a question bank kept beside the
// program. Registers every window with the form registry and starts the
// splash window, which brings up the main window.
#include "Forms.h"
#include "Shell.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvalis"));

    Shell::registerForms();
    // The working windows register here as they land: Testselec, Examselec,
    // Testmodi, Exammodi, Impres and AYUDA.

    Shell::start();
    const int code = QApplication::exec();
    // The program ends at once: windows go without running their closing steps.
    Forms::discardAll();
    return code;
}
