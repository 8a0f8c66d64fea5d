#pragma once
// A stand-in main window for tests of windows that use MainWindowServices:
// records what the window asked for and offers a real multiple-document area
// for child windows. Installs itself for its lifetime.

#include "MainWindowServices.h"

#include <QMainWindow>
#include <QString>

class QMdiArea;

class FakeMainWindowServices : public MainWindowServices
{
public:
    FakeMainWindowServices();
    ~FakeMainWindowServices() override;

    void setToolbarEnabled(bool enabled) override { toolbarEnabled = enabled; }
    void setHelpButtonVisible(bool visible) override { helpButtonVisible = visible; }
    void setStatusText(const QString &text) override { statusText = text; }
    void focusMainWindow() override;
    QWidget *mainWidget() override { return &window; }
    QMdiArea *mdiArea() override { return area; }

    bool toolbarEnabled = true;
    bool helpButtonVisible = true;
    QString statusText;
    int focusRequests = 0;

    QMainWindow window;
    QMdiArea *area = nullptr;
};
