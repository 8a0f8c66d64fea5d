// Orvalis: builds marketing examinations from a question bank kept beside the
// program. Starts the splash window, which brings up the main window.
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvalis"));
    return 0;
}
