#include "Correccion.h"

#include "ColouredButton.h"
#include "CountedNoun.h"
#include "DoubtPanel.h"
#include "DurableFile.h"
#include "FiguresReport.h"
#include "FiguresTable.h"
#include "FiguresView.h"
#include "GradesGrid.h"
#include "GradesReport.h"
#include "MessageBox.h"
#include "PileNotices.h"
#include "ProgramState.h"
#include "SaveDialog.h"
#include "ScreenReader.h"
#include "SheetRecords.h"
#include "StudentList.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>

namespace {

const QString kStatusText = QStringLiteral("Corrección de hojas de respuestas");
const QColor kBackground(192, 192, 192);
Correccion::OpenAnswer openAnswer;

} // namespace

void Correccion::setOpenAnswerForTesting(OpenAnswer answer)
{
    openAnswer = std::move(answer);
}

Correccion::Correccion()
    : WorkingWindow(kName, ActiveWindowCodes::kMarking, kStatusText, Placement::MdiChild)
{
    setWindowTitle(QStringLiteral("Corrección de hojas de respuestas"));
    buildControls();
}

Correccion::~Correccion() = default;

void Correccion::buildControls()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    setAutoFillBackground(true);
    const auto button = [this](const char *name, const QString &caption, const QColor &colour) {
        QPushButton *made =
            ColouredButton::create(this, QString::fromLatin1(name), caption, colour, QRect());
        made->setMinimumHeight(28);
        return made;
    };
    const auto label = [this](const QString &caption, QWidget *control) {
        auto *made = new QLabel(caption, this);
        made->setBuddy(control);
        ScreenReader::name(control, made);
        return made;
    };
    // Everything lies on a page that scrolls when the window is smaller
    // than it (a laptop's screen, a large text size): every control stays
    // within reach.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ScrollCorreccion"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto *page = new QWidget(scroll);
    page->setAutoFillBackground(false);
    scroll->setWidget(page);
    auto *layout = new QGridLayout(page);

    // What to mark.
    m_commandEscaneos =
        button("CommandEscaneos", QStringLiteral("&Escaneos…"), QColor(128, 255, 255));
    m_labelEscaneos = new QLabel(QStringLiteral("Ningún escaneo elegido"), this);
    m_labelEscaneos->setObjectName(QStringLiteral("LabelEscaneos"));
    m_labelEscaneos->setWordWrap(true);
    m_comboExamen = new QComboBox(this);
    m_comboExamen->setObjectName(QStringLiteral("ComboExamen"));
    m_textPenalizacion = new QDoubleSpinBox(this);
    m_textPenalizacion->setObjectName(QStringLiteral("TextPenalizacion"));
    m_textPenalizacion->setRange(0, 1);
    m_textPenalizacion->setSingleStep(0.25);
    m_textPenalizacion->setDecimals(2);
    m_textPenalizacion->setValue(1);
    connect(m_textPenalizacion, &QDoubleSpinBox::valueChanged, this, &Correccion::penaltyChanged);
    m_commandAlumnos =
        button("CommandAlumnos", QStringLiteral("&Lista de alumnos…"), QColor(128, 255, 255));
    m_labelAlumnos = new QLabel(QStringLiteral("Sin lista de alumnos"), this);
    m_labelAlumnos->setObjectName(QStringLiteral("LabelAlumnos"));
    m_commandCorregir =
        button("CommandCorregir", QStringLiteral("&Corregir"), QColor(128, 255, 128));
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    // Says nothing until a run starts.
    m_progressBar1->setFormat(QString());
    m_progressBar1->setRange(0, 1);
    m_progressBar1->setValue(0);
    ScreenReader::name(m_progressBar1, QStringLiteral("Páginas leídas"));
    m_commandCancelar =
        button("CommandCancelar", QStringLiteral("Cancelar"), QColor(255, 255, 128));
    m_commandCancelar->setEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(m_commandEscaneos);
    top->addWidget(m_labelEscaneos, 1);
    top->addWidget(label(QStringLiteral("E&xamen:"), m_comboExamen));
    top->addWidget(m_comboExamen, 1);
    top->addWidget(label(QStringLiteral("&Penalización por error:"), m_textPenalizacion));
    top->addWidget(m_textPenalizacion);
    top->addWidget(m_commandAlumnos);
    top->addWidget(m_labelAlumnos);
    layout->addLayout(top, 0, 0, 1, 2);
    auto *run = new QHBoxLayout;
    run->addWidget(m_commandCorregir);
    run->addWidget(m_progressBar1, 1);
    run->addWidget(m_commandCancelar);
    layout->addLayout(run, 1, 0, 1, 2);

    // The grades, one sheet a row.
    m_gridNotas = new GradesGrid(this);
    auto *gradesCaption = label(QStringLiteral("&Notas:"), m_gridNotas);
    layout->addWidget(gradesCaption, 2, 0);

    // The pages refused and the students with no sheet, under the grades.
    m_pileNotices = new PileNotices(this);
    auto *left = new QVBoxLayout;
    left->addWidget(m_gridNotas, 1);
    left->addWidget(m_pileNotices);
    layout->addLayout(left, 3, 0);

    // A doubtful mark, looked at.
    m_frameDuda =
        new DoubtPanel(this, [this](int sheet, const QString &item, const QString &value) {
            return decide(sheet, item, value);
        });
    m_frameDuda->addKeys(this);
    connect(m_frameDuda, &DoubtPanel::hint, this, &Correccion::tell);
    connect(m_frameDuda, &DoubtPanel::decided, this, &Correccion::sheetDecided);
    layout->addWidget(new QLabel(QStringLiteral("Marca dudosa:"), this), 2, 1);
    layout->addWidget(m_frameDuda, 3, 1);

    // What the marks teach.
    m_figuresView = new FiguresView(this);
    layout->addWidget(m_figuresView, 4, 0, 1, 2);

    m_commandNotas =
        button("CommandNotas", QStringLiteral("&Guardar notas…"), QColor(128, 255, 128));
    m_commandRevision =
        button("CommandRevision", QStringLiteral("&Hoja de revisión…"), QColor(128, 255, 128));
    m_commandInforme =
        button("CommandInforme", QStringLiteral("Guardar &informe…"), QColor(128, 255, 128));
    m_commandSalir = button("CommandSalir", QStringLiteral("Salir"), QColor(255, 128, 128));
    // The help button, which F1 presses as in the other working windows.
    QPushButton *help = ColouredButton::createHelp(this, QStringLiteral("CommandAyuda"), QRect());
    connect(help, &QPushButton::clicked, this, &Correccion::showHelp);
    m_labelEstado = new QLabel(this);
    m_labelEstado->setObjectName(QStringLiteral("LabelEstado"));
    ScreenReader::makeAnnouncer(m_labelEstado);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_commandNotas);
    bottom->addWidget(m_commandRevision);
    bottom->addWidget(m_commandInforme);
    bottom->addWidget(m_labelEstado, 1);
    bottom->addWidget(help);
    bottom->addWidget(m_commandSalir);
    layout->addLayout(bottom, 5, 0, 1, 2);
    layout->setRowStretch(3, 2);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    setExitButton(m_commandSalir);

    connect(m_commandEscaneos, &QPushButton::clicked, this, &Correccion::CommandEscaneos_Click);
    connect(m_commandAlumnos, &QPushButton::clicked, this, &Correccion::CommandAlumnos_Click);
    connect(m_commandCorregir, &QPushButton::clicked, this, &Correccion::CommandCorregir_Click);
    connect(m_commandCancelar, &QPushButton::clicked, this, &Correccion::CommandCancelar_Click);
    connect(m_commandNotas, &QPushButton::clicked, this, &Correccion::CommandNotas_Click);
    connect(m_commandRevision, &QPushButton::clicked, this, &Correccion::CommandRevision_Click);
    connect(m_commandInforme, &QPushButton::clicked, this, &Correccion::CommandInforme_Click);
    connect(m_commandSalir, &QPushButton::clicked, this, &Correccion::CommandSalir_Click);
    connect(&m_run, &MarkingRun::progress, this, &Correccion::showProgress);
    connect(&m_run, &MarkingRun::finished, this, &Correccion::markingFinished);
    connect(&m_review, &ReviewRun::progress, this, &Correccion::showProgress);
    connect(&m_review, &ReviewRun::finished, this, &Correccion::reviewWritten);
    m_saveNotas = std::make_unique<SaveDialog>(QStringLiteral("GuardarNotas"), this);
    m_saveNotas->setFilter(QStringLiteral("CSV (*.csv);;Libro de Excel (*.xlsx)"));
    m_saveRevision = std::make_unique<SaveDialog>(QStringLiteral("GuardarRevision"), this);
    m_saveRevision->setFilter(QStringLiteral("PDF (*.pdf)"));
    m_saveRevision->setDefaultSuffix(QStringLiteral("pdf"));
    m_saveInforme = std::make_unique<SaveDialog>(QStringLiteral("GuardarInforme"), this);
    m_saveInforme->setFilter(QStringLiteral("PDF (*.pdf)"));
    m_saveInforme->setDefaultSuffix(QStringLiteral("pdf"));
    setRunning(false);
}

void Correccion::Form_Load()
{
    m_comboExamen->clear();
    m_comboExamen->addItem(QStringLiteral("El que diga el código de las hojas"), qint64(0));
    ExamHistory history;
    QString error = history.open(ExamHistory::Access::ReadOnly);
    const QList<HistoryExam> exams = error.isEmpty() ? history.exams(&error) : QList<HistoryExam>();
    for (const HistoryExam &exam : exams) {
        if (exam.exposition)
            continue;
        // The date once: a title made from it ("Examen del 07/12/2026")
        // says it already.
        const QString date = exam.madeAt.toString(QStringLiteral("dd/MM/yyyy"));
        m_comboExamen->addItem(
            exam.title.contains(date)
                ? QStringLiteral("%1. %2").arg(exam.id).arg(exam.title)
                : QStringLiteral("%1. %2 (%3)").arg(exam.id).arg(exam.title, date),
            exam.id);
    }
    if (QWidget *frame = container(); frame != this)
        frame->showMaximized();
    m_commandEscaneos->setFocus();
    if (error.isEmpty() && history.database().isOpen())
        offerLastMarking(history);
}

// The history keeps the last marking: its scans and exam are chosen again,
// so that Corregir brings it back with every decision made.
void Correccion::offerLastMarking(ExamHistory &history)
{
    const std::optional<sheetRecords::LastMarking> last = sheetRecords::lastMarking(history);
    const int exam = last ? m_comboExamen->findData(last->exam) : -1;
    if (exam < 0 || !std::all_of(last->files.cbegin(), last->files.cend(),
                                 [](const QString &file) { return QFileInfo::exists(file); }))
        return;
    setScans(last->files);
    m_comboExamen->setCurrentIndex(exam);
    tell(QStringLiteral("La última corrección, la del examen %1 (%2), está elegida: pulse "
                        "Corregir para volver a ella con lo ya decidido.")
             .arg(last->exam)
             .arg(counted(last->sheets, u"hoja", u"hojas")));
}

void Correccion::setScans(const QStringList &scans)
{
    m_scans = scans;
    QStringList names;
    for (const QString &scan : scans)
        names << QFileInfo(scan).fileName();
    m_labelEscaneos->setText(names.join(QStringLiteral(", ")));
}

void Correccion::Form_Unload()
{
    if (m_run.isRunning())
        m_run.cancel();
    WorkingWindow::Form_Unload();
}

void Correccion::leaveWindow()
{
    if (isUnloading() || !confirmLeaving())
        return;
    if (m_run.isRunning())
        m_run.cancel();
    closeWindow();
}

void Correccion::CommandSalir_Click()
{
    leaveWindow();
}

QStringList Correccion::chooseFiles(const QString &title, const QString &filter, bool several)
{
    if (openAnswer)
        return openAnswer(title);
    if (several)
        return QFileDialog::getOpenFileNames(this, title, QString(), filter);
    const QString chosen = QFileDialog::getOpenFileName(this, title, QString(), filter);
    return chosen.isEmpty() ? QStringList() : QStringList{chosen};
}

void Correccion::CommandEscaneos_Click()
{
    const QStringList chosen = chooseFiles(
        QStringLiteral("Escaneos de las hojas"),
        QStringLiteral("Escaneos (*.pdf *.png *.jpg *.jpeg *.tif *.tiff);;Todos (*)"), true);
    if (!chosen.isEmpty())
        setScans(chosen);
}

void Correccion::CommandAlumnos_Click()
{
    const QStringList chosen = chooseFiles(QStringLiteral("Lista de alumnos"),
                                           QStringLiteral("CSV (*.csv *.txt);;Todos (*)"), false);
    if (chosen.isEmpty())
        return;
    QString error;
    const std::optional<QHash<QString, QString>> students =
        studentList::read(chosen.first(), &error);
    if (!students) {
        MessageBox::inform(
            QStringLiteral("No se ha podido leer la lista de alumnos: %1.").arg(error), this);
        return;
    }
    m_students = *students;
    m_withNames = true;
    m_labelAlumnos->setText(QStringLiteral("%1 (%2 alumnos)")
                                .arg(QFileInfo(chosen.first()).fileName())
                                .arg(m_students.size()));
    // A marking shown takes the names at once.
    if (m_session && !m_run.isRunning()) {
        m_session->setStudents(m_students);
        m_gridNotas->fill(*m_session);
        m_pileNotices->fill(*m_session);
    }
}

void Correccion::setRunning(bool running)
{
    for (QWidget *control :
         {static_cast<QWidget *>(m_commandEscaneos), static_cast<QWidget *>(m_comboExamen),
          static_cast<QWidget *>(m_textPenalizacion), static_cast<QWidget *>(m_commandAlumnos),
          static_cast<QWidget *>(m_commandCorregir), static_cast<QWidget *>(m_commandNotas),
          static_cast<QWidget *>(m_commandRevision)})
        control->setEnabled(!running);
    m_commandCancelar->setEnabled(running);
    const bool marked = m_session.has_value() && !running;
    m_commandNotas->setEnabled(marked);
    m_commandRevision->setEnabled(marked && !m_review.isRunning());
    m_commandInforme->setEnabled(marked && m_figuresView->table().has_value());
    m_frameDuda->setEnabled(marked && m_frameDuda->hasDoubts());
}

void Correccion::CommandCorregir_Click()
{
    if (m_scans.isEmpty()) {
        MessageBox::inform(QStringLiteral("Elija primero los escaneos de las hojas."), this);
        return;
    }
    MarkingRun::Request request;
    request.scans = m_scans;
    request.exam = m_comboExamen->currentData().toLongLong();
    request.penalty = m_textPenalizacion->value();
    request.students = m_students;
    // Busy until the run knows how many pages there are.
    m_progressBar1->setFormat(QStringLiteral("%v de %m páginas"));
    m_progressBar1->setRange(0, 0);
    tell(QStringLiteral("Corrigiendo…"));
    setRunning(true);
    m_commandCancelar->setFocus();
    m_run.start(request);
}

void Correccion::CommandCancelar_Click()
{
    m_run.cancel();
}

void Correccion::showProgress(int done, int total)
{
    m_progressBar1->setRange(0, total);
    m_progressBar1->setValue(done);
}

void Correccion::markingFinished()
{
    MarkingRun::Outcome outcome = m_run.takeOutcome();
    setRunning(false);
    if (outcome.cancelled || !outcome.error.isEmpty()) {
        m_progressBar1->setFormat(QString());
        m_progressBar1->setRange(0, 1);
        m_progressBar1->setValue(0);
    }
    if (outcome.cancelled) {
        tell(QStringLiteral("Corrección cancelada: no se ha anotado nada."));
        return;
    }
    if (!outcome.error.isEmpty()) {
        tell(QString());
        MessageBox::inform(outcome.error, this);
        return;
    }

    // The whole marking goes to the history in one change, as orvalis-banco
    // corregir writes it.
    m_history = std::make_unique<ExamHistory>();
    QString failed = m_history->open(ExamHistory::Access::ReadWrite);
    if (failed.isEmpty())
        failed = outcome.session->record(*m_history);
    if (!failed.isEmpty()) {
        // Decisions about sheets the history does not hold would go nowhere.
        m_history.reset();
        MessageBox::inform(
            QStringLiteral("No se ha podido anotar la corrección en el historial: %1.").arg(failed),
            this);
    }
    m_session = std::move(outcome.session);
    m_session->setPenalty(m_textPenalizacion->value());
    m_gridNotas->fill(*m_session);
    fillFigures();
    m_pileNotices->fill(*m_session);
    m_frameDuda->show(&m_session->result(), &m_session->key());
    setRunning(false);
    tellCounts();
    m_frameDuda->takeFocus();
}

void Correccion::tellCounts()
{
    const int pending = m_session->pendingSheets();
    tell(QStringLiteral("%1, %2, %3.")
             .arg(counted(m_session->result().sheets.size() - pending, u"hoja corregida",
                          u"hojas corregidas"),
                  counted(pending, u"pendiente", u"pendientes"),
                  counted(m_session->result().refusals.size(), u"página rechazada",
                          u"páginas rechazadas")));
}

void Correccion::penaltyChanged()
{
    if (!m_session || m_run.isRunning())
        return;
    // The answers read do not change: the grades are worked out again.
    m_session->setPenalty(m_textPenalizacion->value());
    m_gridNotas->fill(*m_session);
    fillFigures();
    tell(QStringLiteral("Notas recalculadas con una penalización de %1 por error.")
             .arg(gradesReport::decimal(m_session->penalty())));
}

void Correccion::fillFigures()
{
    m_figuresView->clear();
    if (!m_history)
        return;
    int pending = 0;
    if (const std::optional<ExamFigures> figures = m_session->figures(*m_history, &pending))
        m_figuresView->showFigures(*figures, pending, m_session->exam().questions);
}

QString Correccion::decide(int sheet, const QString &item, const QString &value)
{
    const QString failed = m_session->decide(m_history.get(), sheet, item, value);
    if (!failed.isEmpty())
        MessageBox::inform(
            QStringLiteral("No se ha podido anotar la decisión en el historial: %1.").arg(failed),
            this);
    return failed;
}

void Correccion::sheetDecided(int index, const QString &item, const QString &value)
{
    const MarkedSheet &sheet = m_session->result().sheets[index];
    m_gridNotas->fill(*m_session);
    if (item == u"dni") {
        m_pileNotices->fill(*m_session);
        tell(QStringLiteral("Hoja %1: DNI %2.").arg(sheet.code.sheetName(), value));
        return;
    }
    fillFigures();
    tell(QStringLiteral("Hoja %1, pregunta %2: %3; %4.")
             .arg(sheet.code.sheetName(), item, value == u"-" ? QStringLiteral("en blanco") : value,
                  sheet.pointsPending()
                      ? QStringLiteral("la hoja sigue pendiente")
                      : QStringLiteral("nota %1").arg(gradesReport::decimal(sheet.grade))));
}

bool Correccion::confirmLeaving()
{
    if (!m_session || m_session->pendingSheets() == 0)
        return true;
    const int pending = m_session->pendingSheets();
    return !MessageBox::askCancelled(
        QStringLiteral("%1 %2 pendientes de decidir. Lo decidido está anotado en el historial; lo "
                       "que falta se puede decidir corrigiendo de nuevo los mismos escaneos. "
                       "¿Salir de todos modos?")
            .arg(pending == 1 ? u"Queda" : u"Quedan", counted(pending, u"hoja", u"hojas")),
        this);
}

void Correccion::CommandNotas_Click()
{
    if (!m_session)
        return;
    std::optional<QString> path = m_saveNotas->showSave();
    m_frameDuda->takeFocus();
    if (!path)
        return;
    if (!QFileInfo(*path).fileName().contains(u'.'))
        *path += m_saveNotas->dialog()->selectedNameFilter().contains(u"xlsx")
                     ? QStringLiteral(".xlsx")
                     : QStringLiteral(".csv");
    QString failed;
    const std::optional<QByteArray> bytes = gradesReport::forFile(
        *path, m_session->result(), m_session->key().questions(), m_withNames, &failed);
    if (bytes)
        failed = DurableFile::write(*path, *bytes);
    if (!failed.isEmpty()) {
        MessageBox::inform(QStringLiteral("No se ha podido guardar %1: %2.").arg(*path, failed),
                           this);
        return;
    }
    tell(QStringLiteral("Notas guardadas en: %1").arg(*path));
}

void Correccion::CommandRevision_Click()
{
    if (!m_session || m_review.isRunning())
        return;
    const int all = int(m_session->result().sheets.size());
    QList<int> chosen = m_gridNotas->chosenSheets();
    if (chosen.isEmpty())
        for (int s = 0; s < all; ++s)
            chosen << s;
    // What is about to be written, said in the dialog's title.
    m_saveRevision->dialog()->setWindowTitle(
        chosen.size() == all ? QStringLiteral("Hoja de revisión de todas las hojas (%1)").arg(all)
        : chosen.size() == 1
            ? QStringLiteral("Hoja de revisión de la hoja elegida (1 de %1)").arg(all)
            : QStringLiteral("Hoja de revisión de las %1 hojas elegidas (de %2)")
                  .arg(chosen.size())
                  .arg(all));
    const std::optional<QString> path = m_saveRevision->showSave();
    m_frameDuda->takeFocus();
    if (path)
        writeReview(*path, chosen);
}

void Correccion::writeReview(const QString &path, const QList<int> &chosen)
{
    MarkingResult review;
    for (int s : chosen)
        review.sheets.append(m_session->result().sheets[s]);
    m_progressBar1->setFormat(QStringLiteral("Hoja de revisión: %v de %m hojas"));
    m_progressBar1->setRange(0, int(review.sheets.size()));
    m_progressBar1->setValue(0);
    tell(QStringLiteral("Escribiendo la hoja de revisión…"));
    m_review.start(std::move(review), m_session->key(), path);
    setRunning(false);
}

void Correccion::reviewWritten(const QString &path, const QString &failed)
{
    setRunning(false);
    m_progressBar1->setFormat(QString());
    m_progressBar1->setRange(0, 1);
    m_progressBar1->setValue(0);
    if (!failed.isEmpty()) {
        tell(QString());
        MessageBox::inform(QStringLiteral("No se ha podido guardar %1: %2.").arg(path, failed),
                           this);
        return;
    }
    tell(QStringLiteral("Hoja de revisión guardada en: %1").arg(path));
}

void Correccion::CommandInforme_Click()
{
    if (!m_session || !m_figuresView->table())
        return;
    const std::optional<QString> path = m_saveInforme->showSave();
    m_frameDuda->takeFocus();
    if (!path)
        return;
    QStringList texts;
    for (const HistoryQuestion &question : m_session->exam().questions)
        texts << question.text;
    QStringList refused;
    for (const Refusal &refusal : m_session->result().refusals)
        refused << refusal.line();
    const QByteArray pdf = figuresReport::pdf(
        QStringLiteral("Examen %1. %2").arg(m_session->exam().id).arg(m_session->exam().title),
        *m_figuresView->table(), texts, m_figuresView->chartImage(), refused);
    if (const QString failed = DurableFile::write(*path, pdf); !failed.isEmpty()) {
        MessageBox::inform(QStringLiteral("No se ha podido guardar %1: %2.").arg(*path, failed),
                           this);
        return;
    }
    tell(QStringLiteral("Informe guardado en: %1").arg(*path));
}

void Correccion::tell(const QString &text)
{
    ScreenReader::announce(m_labelEstado, text);
}
