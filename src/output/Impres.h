#pragma once
// The output window: a child window of the main window that receives a
// finished examination text from a selection window and sends whatever its
// text area holds to the clipboard, the default printer or a text file. The
// exam's description comes with the text; "PDF" lays the exam out from it as
// a document ready to hand out, in the format set in "Formato del examen…",
// or as an OpenDocument text to edit (the second type of its save dialog).
// "Versiones" above 1 replaces the text by versions A to D of the exam,
// shuffled from the seed shown under "Clave de barajado", which the teacher
// may type to make the versions of an earlier exam again; back at 1 the text
// is the one received.
// Every exam that leaves is recorded in the exam history; "Título…" names it
// there.
// Leaving it closes it and shows again the selection window that handed the
// text over (HandOver.h).
//
// Text1 keeps line ends as paragraph breaks; what is sent uses CR LF.

#include "Form.h"
#include "OutputReceiver.h"
#include "SaveDialog.h"
#include "WindowNames.h"

#include <QString>

class QLabel;
class QLineEdit;
class QSpinBox;
class QPlainTextEdit;
class QPushButton;

class Impres : public Form, public OutputReceiver
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kImpres;

    Impres();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload() override;

    // The hand-over: the text goes into Text1.
    void receiveText(const QString &text, const ExamDescription &exam) override;

    void Command1_Click(int index);
    void Command2_Click();
    void Command3_Click();

    void sendToClipboard();
    void sendToPrinter();
    void sendToFile();
    void sendToPdf();
    // "Hojas de respuestas": the answer sheets of the exam, as many of each
    // version as the teacher says there are students, recorded first in the
    // history (their codes name its number there), as a PDF.
    void sendToSheets();
    void editFormat();
    // Asks for the title the exam has in the history.
    void editTitle();
    // Composes the versions chosen (or puts back the text received for 1).
    void Versiones_Change();
    void leaveOutput();

    // The content of Text1 with CR LF line ends: what every destination gets.
    QString text() const;

private:
    void buildControls();
    void placeStrip();
    void recordSent();

    QPlainTextEdit *m_text1 = nullptr;
    QWidget *m_picture1 = nullptr;
    QLabel *m_label1 = nullptr;
    QPushButton *m_command1[3] = {};
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_commandPdf = nullptr;
    QPushButton *m_commandFormat = nullptr;
    QPushButton *m_commandTitle = nullptr;
    QPushButton *m_commandHojas = nullptr;
    SaveDialog m_cd1;
    QSpinBox *m_versions = nullptr;
    QLineEdit *m_seed = nullptr;
    SaveDialog m_cd2; // the PDF's, and the OpenDocument copy's
    bool m_cd2Prepared = false;
    SaveDialog m_cd3; // the answer sheets'
    QString m_receivedText;
    ExamDescription m_received;
    ExamDescription m_exam; // what the window holds: the exam received, in its versions
};
