#pragma once
// What the hand-over (HandOver.h) asks of the output window, without knowing
// its class or its controls.

#include "ExamDescription.h"

#include <QString>

class OutputReceiver
{
public:
    virtual ~OutputReceiver() = default;

    // Shows `text`, composed from `exam`, in the output window.
    virtual void receiveText(const QString &text, const ExamDescription &exam) = 0;
};
