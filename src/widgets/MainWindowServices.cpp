#include "MainWindowServices.h"

#include <QMdiArea>
#include <QWidget>

namespace {
MainWindowServices *g_services = nullptr;
}

MainWindowServices *MainWindowServices::instance()
{
    return g_services;
}

void MainWindowServices::install(MainWindowServices *services)
{
    g_services = services;
}

QMdiArea *MainWindowServices::mdiArea()
{
    QWidget *main = mainWidget();
    return main ? main->findChild<QMdiArea *>() : nullptr;
}
