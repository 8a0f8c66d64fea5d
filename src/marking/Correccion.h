#pragma once
// The marking window Correccion, a child window of the main window: the
// teacher picks the scans, the exam (or lets the first sheet's code name
// it), the penalty and the class list; the pile is marked in the background
// (MarkingRun, over the marking engine) with a progress bar and Cancelar;
// the grades are listed one sheet a row, pending rows marked in words, the
// pages refused and the students with no sheet listed beside them; each
// doubtful mark is settled in the doubt panel (DoubtPanel), every decision
// kept in the history at once and the grade following. A new penalty or
// class list applies at once, without reading the pile again. The grades go
// to a CSV or an Excel workbook as orvalis-banco corregir writes them,
// sheets to the review PDF (written in the background); what the marks teach
// about the exam is shown as figures, a chart of the grades and the
// questions that discriminate negatively, and goes to the report.
//
// Nothing is written to the history until a marking is whole: then its
// sheets are stored in one change, as the command line stores them.

#include "ExamHistory.h"
#include "MarkingRun.h"
#include "ReviewRun.h"
#include "WindowNames.h"
#include "WorkingWindow.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class DoubtPanel;
class FiguresView;
class GradesGrid;
class PileNotices;
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
    void CommandNotas_Click();
    void CommandRevision_Click();
    void CommandInforme_Click();
    void CommandSalir_Click();

    // Tests answer the open dialogs (scans, class list) through this hook
    // instead of the teacher: it gets the dialog's title and gives the files.
    using OpenAnswer = std::function<QStringList(const QString &title)>;
    static void setOpenAnswerForTesting(OpenAnswer answer);

protected:
    bool confirmLeaving() override;

private:
    void buildControls();
    void offerLastMarking(ExamHistory &history);
    void setScans(const QStringList &scans);
    QStringList chooseFiles(const QString &title, const QString &filter, bool several);
    void markingFinished();
    void showProgress(int done, int total);
    void setRunning(bool running);
    void fillFigures();
    void tellCounts();
    void penaltyChanged();
    QString decide(int sheet, const QString &item, const QString &value);
    void sheetDecided(int sheet, const QString &item, const QString &value);
    void writeReview(const QString &path, const QList<int> &chosen);
    void reviewWritten(const QString &path, const QString &failed);
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
    GradesGrid *m_gridNotas = nullptr;
    DoubtPanel *m_frameDuda = nullptr;
    PileNotices *m_pileNotices = nullptr;
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
    ReviewRun m_review;
    // The marking shown, its decisions applied; the history it was recorded
    // in (none when it could not be).
    std::optional<MarkingSession> m_session;
    std::unique_ptr<ExamHistory> m_history;
};
