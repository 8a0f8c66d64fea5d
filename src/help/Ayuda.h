#pragma once
// The help window: a read-only text for the part of the program that opened
// it, chosen by ActiveWindowCode when the window loads and composed once. The
// opener sets the code and shows the window; "Cerrar ayuda" closes it and
// sets the code to -999, so that the opener asks its leave question again.
// Closing after general help shows the main window's help button again.

#include "Form.h"
#include "WindowNames.h"

#include <QSize>
#include <QString>

class QPlainTextEdit;
class QPushButton;

class Ayuda : public Form
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kAyuda;

    Ayuda();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;

    void Command1_Click();

    // The text put into Text1 at load, with its CR LF line breaks.
    QString text() const { return m_text; }
    // Width and height in pixels, frame included.
    QSize outerSize() const { return frameGeometry().size(); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QSize frameAllowance() const { return frameGeometry().size() - size(); }
    void setOuterSize(const QSize &outer);
    void placeOverMainWindow();
    void placeControls(const QSize &outer);

    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QString m_text;
    // The frame the load size was set with; a window manager may add its
    // frame only once the window is on screen.
    QSize m_loadAllowance;
    bool m_shownOnce = false;
};
