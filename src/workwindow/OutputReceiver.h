#pragma once
// The hand-over of a finished text to the output window: what a selection
// window may ask of it, without knowing its class or its controls.

#include "ExamDescription.h"

#include <QString>

class OutputReceiver
{
public:
    virtual ~OutputReceiver() = default;

    // Shows `text`, composed from `exam`, in the output window; leaving it
    // later shows again the window named `returnWindow`.
    virtual void receiveText(const QString &text, const ExamDescription &exam,
                             const QString &returnWindow) = 0;
};
