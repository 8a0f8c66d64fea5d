#pragma once
// Fondo, the background child window: fills the main window's client area
// (maximized) and keeps the title block Frame1 centred on every resize.

#include "Form.h"

class QFrame;

// Left (or top) of a box of `inner` twips centred in `outer` twips, computed
// in single precision as the window does.
float centredOffset(float outer, float inner);

class Fondo : public Form
{
    Q_OBJECT

public:
    Fondo();

    void Form_Load() override;
    void Form_Resize() override;

private:
    QFrame *m_frame1;
};
