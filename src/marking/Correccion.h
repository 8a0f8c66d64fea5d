#pragma once
// The marking window Correccion, a child window of the main window: the
// teacher picks the scans, the exam (or lets the first sheet's code name
// it), the penalty and the class list; the pile is marked in the background
// (MarkingRun) with a progress bar and Cancelar; the grades are listed one
// sheet a row, pending rows marked in words; each doubtful mark is settled
// by looking at its boxes cut from the scan, with a key for "marcada" and
// one for "en blanco"; every decision goes to the history at once and the
// grade follows. The grades go to the same CSV as orvalis-banco corregir,
// chosen sheets to the review PDF; what the marks teach about the exam is
// shown as figures, a chart of the grades and the questions that
// discriminate negatively.
//
// Nothing is written to the history until a marking is whole: then its
// sheets are stored in one change, as the command line stores them.

#include "ExamHistory.h"
#include "MarkingRun.h"
#include "SheetMarking.h"
#include "WindowNames.h"
#include "WorkingWindow.h"

#include <QHash>
#include <QImage>
#include <QPair>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class FiguresView;
class SaveDialog;

class Correccion : public WorkingWindow
{
    Q_OBJECT

public:
    static inline const QString kName = WindowNames::kCorreccion;

    Correccion();
    ~Correccion() override;

    void Form_Load() override;
    void Form_Unload() override;
    void leaveWindow() override;

    void CommandEscaneos_Click();
    void CommandAlumnos_Click();
    void CommandCorregir_Click();
    void CommandCancelar_Click();
    void CommandMarcada_Click();
    void CommandBlanco_Click();
    void CommandSiguiente_Click();
    void CommandNotas_Click();
    void CommandRevision_Click();
    void CommandInforme_Click();
    void CommandSalir_Click();

    // Tests answer the open dialogs (scans, class list) through this hook
    // instead of the teacher: it gets the dialog's title and gives the files.
    using OpenAnswer = std::function<QStringList(const QString &title)>;
    static void setOpenAnswerForTesting(OpenAnswer answer);

private:
    // One box of a doubtful question: the sheet (its index in the marking),
    // the question in the version's order (0-based; kDni for the sheet's DNI
    // grid, settled by typing the number) and which box.
    static constexpr int kDni = -1;
    struct Box
    {
        int sheet = 0;
        int question = 0;
        bool yes = true;
    };

    void buildControls();
    QStringList chooseFiles(const QString &title, const QString &filter, bool several);
    void markingFinished();
    void showProgress(int done, int total);
    void setRunning(bool running);
    void fillGrades();
    void fillFigures();
    void collectBoxes();
    void showBox();
    void decide(bool marked);
    void TextDni_Return();
    QImage cropOf(const Box &box);
    void tell(const QString &text);

    QPushButton *m_commandEscaneos = nullptr;
    QLabel *m_labelEscaneos = nullptr;
    QComboBox *m_comboExamen = nullptr;
    QDoubleSpinBox *m_textPenalizacion = nullptr;
    QPushButton *m_commandAlumnos = nullptr;
    QLabel *m_labelAlumnos = nullptr;
    QPushButton *m_commandCorregir = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
    QPushButton *m_commandCancelar = nullptr;
    QTableWidget *m_gridNotas = nullptr;
    QFrame *m_frameDuda = nullptr;
    QLabel *m_labelDuda = nullptr;
    QLabel *m_imageRecorte = nullptr;
    QPushButton *m_commandMarcada = nullptr;
    QPushButton *m_commandBlanco = nullptr;
    QPushButton *m_commandSiguiente = nullptr;
    QLineEdit *m_textDni = nullptr;
    FiguresView *m_figuresView = nullptr;
    QPushButton *m_commandNotas = nullptr;
    QPushButton *m_commandRevision = nullptr;
    QPushButton *m_commandInforme = nullptr;
    QPushButton *m_commandSalir = nullptr;
    QLabel *m_labelEstado = nullptr;
    std::unique_ptr<SaveDialog> m_saveNotas;
    std::unique_ptr<SaveDialog> m_saveRevision;
    std::unique_ptr<SaveDialog> m_saveInforme;

    MarkingRun m_run;
    QStringList m_scans;
    QHash<QString, QString> m_students;
    bool m_withNames = false;
    double m_penalty = 1.0;
    // The marking shown: its exam, key and sheets, the decisions applied.
    std::optional<MarkingRun::Outcome> m_marked;
    std::unique_ptr<SheetMarking> m_marking;
    std::unique_ptr<ExamHistory> m_history;
    QList<Box> m_boxes;
    int m_box = -1;
    // Per doubtful question (sheet, question): the teacher's word on its Sí
    // and No boxes, until both are known.
    QHash<QPair<int, int>, QPair<std::optional<bool>, std::optional<bool>>> m_boxWords;
    // The straightened page last cut from, by file and page.
    QPair<QString, int> m_pageShown{QString(), -1};
    QImage m_straight;
};
