#pragma once
// Apertura, the splash window: the program's first window, shown again over
// the main window at start-up and by "Acerca de ...". Painted with a blue
// gradient into its persistent image; closes after Timer1 (3000 ms) or on a
// click, and then shows the background window Fondo.

#include "Form.h"
#include "PersistentImage.h"

class QLabel;
class QTimer;

class Apertura : public Form
{
    Q_OBJECT

public:
    static constexpr int kTimerInterval = 3000;

    Apertura();

    void Form_Load() override;
    void Form_Deactivate() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override;
    void Form_Resize() override;
    void Timer1_Timer();
    void Form_Click();

    QTimer *Timer1() const { return m_timer1; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    PersistentImage m_image;
    QTimer *m_timer1;
    bool m_pressed = false;
};
