// Orvalis: builds marketing examinations from a question bank kept beside the
// program. Registers every window with the form registry and starts the
// splash window, which brings up the main window.
#include "Ayuda.h"
#include "Forms.h"
#include "Impres.h"
#include "Shell.h"
#include "Testselec.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvalis"));

    // The whole interface is in Spanish, the toolkit's own dialogs included
    // (the save dialog's columns and places, context menus of text boxes).
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    Shell::registerForms();
    Forms::registerForm(Testselec::kName, [] { return new Testselec; });
    Forms::registerForm(Impres::kName, [] { return new Impres; });
    Forms::registerForm(Ayuda::kName, [] { return new Ayuda; });
    // Still to come: Examselec, Testmodi and Exammodi; until they are
    // registered, showing them does nothing.

    Shell::start();
    const int code = QApplication::exec();
    // The program ends at once: windows go without running their closing steps.
    Forms::discardAll();
    return code;
}
