#include "FakeMainWindowServices.h"

#include <QMdiArea>

FakeMainWindowServices::FakeMainWindowServices()
{
    window.setObjectName(QStringLiteral("FakeMainWindow"));
    area = new QMdiArea(&window);
    window.setCentralWidget(area);
    window.resize(800, 600);
    MainWindowServices::install(this);
}

FakeMainWindowServices::~FakeMainWindowServices()
{
    if (MainWindowServices::instance() == this)
        MainWindowServices::install(nullptr);
}

void FakeMainWindowServices::focusMainWindow()
{
    ++focusRequests;
    window.activateWindow();
}
