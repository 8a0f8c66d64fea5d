#pragma once
// A stand-in main window for windows that use MainWindowServices: records their
// requests and offers a real multiple-document area. Installed while it lives.
#include "MainWindowServices.h"

#include <QMainWindow>
#include <QMdiArea>

class FakeMainWindowServices : public MainWindowServices
{
public:
    FakeMainWindowServices()
    {
        window.setCentralWidget(area);
        window.resize(800, 600);
        install(this);
    }
    ~FakeMainWindowServices() override { install(nullptr); }
    void setToolbarEnabled(bool enabled) override { toolbarEnabled = enabled; }
    void setHelpButtonVisible(bool visible) override { helpButtonVisible = visible; }
    void setStatusText(const QString &text) override { statusText = text; }
    void focusMainWindow() override { window.activateWindow(); }
    QWidget *mainWidget() override { return &window; }
    QMdiArea *mdiArea() override { return area; }

    bool toolbarEnabled = true;
    bool helpButtonVisible = true;
    QString statusText;
    QMainWindow window;
    QMdiArea *area = new QMdiArea(&window);
};
