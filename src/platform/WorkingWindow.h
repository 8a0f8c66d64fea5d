#pragma once
// What the four working windows (the two selection windows and the two
// maintenance windows) do alike: each is a top-level window over the main
// window with its own ActiveWindowCode. On activation it writes its title to
// the main window's status bar; when another form of the program becomes
// active while ActiveWindowCode is not its own, it leaves (asking first, where
// it has a question); Esc presses its exit button; it opens centred over the
// main window; and on closing it empties the status text, closes every open
// file and shows the main window's help button again. A window built on it
// adds only its controls and handlers.

#include "Form.h"

#include <QColor>
#include <QString>

class QPushButton;

class WorkingWindow : public Form
{
    Q_OBJECT

public:
    WorkingWindow(const QString &name, qint16 activeWindowCode, const QString &statusText);

    qint16 activeWindowCode() const { return m_code; }

    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_Unload() override;

    // Leaves the window, after its question where it asks one; Cancel keeps
    // it open. Called by the exit button and when the window loses activation.
    virtual void leaveWindow() = 0;

protected:
    // Fixed client size in twips and background colour.
    void setDesign(int widthTwips, int heightTwips, const QColor &background);
    // The design's places are measured for a small sans serif: Arial
    // (Liberation Sans through the font configuration) at 8.25 points keeps
    // every caption inside its control.
    void setDesignFont();
    // Esc presses this button.
    void setExitButton(QPushButton *button);
    // Run by Form_Activate after the status text: where the focus goes.
    virtual void focusOnActivation() {}

    void centreOverMainWindow();
    // Sets ActiveWindowCode to this window's value (so that it does not
    // leave) and shows the help window.
    void showHelp();
    // Hands `text` to the output window: this window stays loaded, hidden,
    // with its state intact, and is shown again when the output window is left.
    void handOverToOutput(const QString &text);
    // Closes every file, unloads the window and gives the focus back to the
    // main window.
    void closeWindow();
    // After a question answered Cancel: the window comes forward again.
    void stayOpen();

private:
    qint16 m_code;
    QString m_statusText;
};
