#include "HandOver.h"

#include "Form.h"
#include "Forms.h"
#include "OutputReceiver.h"
#include "ProgramState.h"
#include "WindowNames.h"

namespace HandOver {

void openHelp(qint16 opener)
{
    ActiveWindowCode = opener;
    Forms::show(WindowNames::kAyuda);
}

qint16 helpOpener()
{
    return ActiveWindowCode;
}

void helpClosed()
{
    ActiveWindowCode = ActiveWindowCodes::kNone;
}

bool keepsOpen(qint16 code)
{
    return ActiveWindowCode == code;
}

bool toOutput(Form *from, qint16 code, const QString &text, const ExamDescription &exam)
{
    ActiveWindowCode = code;
    from->hide();
    auto *receiver = dynamic_cast<OutputReceiver *>(Forms::show(WindowNames::kImpres));
    if (!receiver) { // no output window in this program: stay usable
        from->show();
        return false;
    }
    ReturnWindowName = from->formName();
    receiver->receiveText(text, exam);
    return true;
}

QString returnWindow()
{
    return ReturnWindowName;
}

void outputLeft()
{
    if (QWidget *output = Forms::find(WindowNames::kImpres))
        if (auto *form = qobject_cast<Form *>(output))
            form->unload();
    ActiveWindowCode = ActiveWindowCodes::kNone;
    // Both names are compared; a name that matches neither shows nothing.
    for (const QString &name : {WindowNames::kTestselec, WindowNames::kExamselec})
        if (ReturnWindowName == name)
            Forms::show(name);
}

} // namespace HandOver
