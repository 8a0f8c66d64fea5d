// Orvalis: builds marketing examinations from a question bank kept in four
// files of a folder. Reads the command line, makes the bank's folder the
// working directory, registers every window with the form registry and starts
// the splash window, which brings up the main window.
#include "Ayuda.h"
#include "BankFolder.h"
#include "CommandLine.h"
#include "Correccion.h"
#include "Exammodi.h"
#include "Examselec.h"
#include "Forms.h"
#include "Impres.h"
#include "MessageBox.h"
#include "SaveDialog.h"
#include "Shell.h"
#include "SystemError.h"
#include "Testmodi.h"
#include "Testselec.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// A start from the desktop has no terminal to read: where a display is there
// for it, a refusal is also shown in a box.
bool displayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int refuse(char *program, const QString &message)
{
    print(stderr, QStringLiteral("orvalis: %1\n").arg(message));
    if (displayAvailable()) {
        int toolkitArgc = 1;
        char *toolkitArgv[] = {program, nullptr};
        QApplication app(toolkitArgc, toolkitArgv);
        MessageBox::inform(message);
    }
    return CommandLine::kUsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    // Settled before the toolkit starts, so that --help, --version and a bad
    // option answer on a console without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Request request = CommandLine::parse(arguments);
    switch (request.action) {
    case CommandLine::Action::ShowHelp:
        print(stdout, CommandLine::helpText());
        return 0;
    case CommandLine::Action::ShowVersion:
        print(stdout, CommandLine::versionText());
        return 0;
    case CommandLine::Action::Fail:
        return refuse(
            argv[0],
            QStringLiteral("%1\nPruebe «orvalis --help» para más información.").arg(request.error));
    case CommandLine::Action::Run:
        break;
    }
    if (const QString error = BankFolder::enter(request, BankFolder::Environment::current());
        !error.isEmpty())
        return refuse(argv[0], error);
    // Checked before any window creates a bank file there.
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const QString notice =
        BankFolder::holdsNoBank(QDir::currentPath())
            ? QStringLiteral("En la carpeta %1 no hay ningún banco de preguntas: se empezará en "
                             "ella un banco vacío.")
                  .arg(folder)
            : QString();

    // The toolkit sees the program's name only: every argument has been read
    // above, and a folder named like one of its options must stay a folder.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvalis"));
    QApplication::setApplicationVersion(QStringLiteral(ORVALIS_VERSION));
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral(ORVALIS_APP_ID));

    // The whole interface is in Spanish, the toolkit's own dialogs included
    // (the save dialog's columns and places, context menus of text boxes).
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    // The personal bank lies in a hidden folder: files are saved among the
    // teacher's documents instead.
    SaveDialog::setUserFolders(request.place == CommandLine::BankPlace::PersonalFolder);

    Shell::registerForms();
    Forms::registerForm(Testselec::kName, [] { return new Testselec; });
    Forms::registerForm(Examselec::kName, [] { return new Examselec; });
    Forms::registerForm(Testmodi::kName, [] { return new Testmodi; });
    Forms::registerForm(Exammodi::kName, [] { return new Exammodi; });
    Forms::registerForm(Impres::kName, [] { return new Impres; });
    Forms::registerForm(Ayuda::kName, [] { return new Ayuda; });
    Forms::registerForm(Correccion::kName, [] { return new Correccion; });

    Shell::start(notice);
    const int code = QApplication::exec();
    // The program ends at once: windows go without running their closing steps.
    Forms::discardAll();
    return code;
}
