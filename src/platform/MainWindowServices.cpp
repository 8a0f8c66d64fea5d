#include "MainWindowServices.h"

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
