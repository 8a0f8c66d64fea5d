#include "Correccion.h"

#include "ColouredButton.h"
#include "DurableFile.h"
#include "FiguresReport.h"
#include "FiguresTable.h"
#include "FiguresView.h"
#include "GradesReport.h"
#include "MarkedSheets.h"
#include "MessageBox.h"
#include "ProgramState.h"
#include "ReviewPdf.h"
#include "SaveDialog.h"
#include "ScanFile.h"
#include "ScreenReader.h"
#include "SheetLayout.h"
#include "SheetReader.h"
#include "SheetRecords.h"
#include "StudentList.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

#include <opencv2/core/mat.hpp>

namespace {

const QString kStatusText = QStringLiteral("Corrección de hojas de respuestas");
const QColor kBackground(192, 192, 192);
Correccion::OpenAnswer openAnswer;

enum Column
{
    Dni,
    Name,
    Version,
    Right,
    Wrong,
    Blank,
    Doubtful,
    Points,
    Grade,
    State,
    Columns
};

QTableWidgetItem *cell(const QVariant &value)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString versionLetter(int version)
{
    return QString(QChar(u'A' + version));
}

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
    auto *layout = new QGridLayout(this);

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
    m_commandAlumnos =
        button("CommandAlumnos", QStringLiteral("&Lista de alumnos…"), QColor(128, 255, 255));
    m_labelAlumnos = new QLabel(QStringLiteral("Sin lista de alumnos"), this);
    m_labelAlumnos->setObjectName(QStringLiteral("LabelAlumnos"));
    m_commandCorregir =
        button("CommandCorregir", QStringLiteral("&Corregir"), QColor(128, 255, 128));
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setFormat(QStringLiteral("%v de %m páginas"));
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
    m_gridNotas = new QTableWidget(0, Columns, this);
    m_gridNotas->setObjectName(QStringLiteral("GridNotas"));
    ScreenReader::nameCorner(m_gridNotas);
    m_gridNotas->setHorizontalHeaderLabels({QStringLiteral("DNI"), QStringLiteral("Nombre"),
                                            QStringLiteral("Versión"), QStringLiteral("Aciertos"),
                                            QStringLiteral("Errores"), QStringLiteral("Blancos"),
                                            QStringLiteral("Dudosas"), QStringLiteral("Puntos"),
                                            QStringLiteral("Nota"), QStringLiteral("Estado")});
    m_gridNotas->verticalHeader()->hide();
    m_gridNotas->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gridNotas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridNotas->setSortingEnabled(true);
    // In the scans' order until the teacher clicks a heading.
    m_gridNotas->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    auto *gradesCaption = label(QStringLiteral("&Notas:"), m_gridNotas);
    layout->addWidget(gradesCaption, 2, 0);
    layout->addWidget(m_gridNotas, 3, 0);

    // A doubtful mark, looked at.
    m_frameDuda = new QFrame(this);
    m_frameDuda->setObjectName(QStringLiteral("FrameDuda"));
    m_frameDuda->setFrameShape(QFrame::StyledPanel);
    auto *doubt = new QVBoxLayout(m_frameDuda);
    m_labelDuda = new QLabel(QStringLiteral("Ninguna marca dudosa"), m_frameDuda);
    m_labelDuda->setObjectName(QStringLiteral("LabelDuda"));
    m_labelDuda->setWordWrap(true);
    m_imageRecorte = new QLabel(m_frameDuda);
    m_imageRecorte->setObjectName(QStringLiteral("ImageRecorte"));
    m_imageRecorte->setMinimumSize(360, 140);
    m_imageRecorte->setAlignment(Qt::AlignCenter);
    ScreenReader::name(m_imageRecorte, QStringLiteral("Recorte de la hoja"));
    m_commandMarcada =
        ColouredButton::create(m_frameDuda, QStringLiteral("CommandMarcada"),
                               QStringLiteral("&Marcada (M)"), QColor(128, 255, 128), QRect());
    m_commandBlanco =
        ColouredButton::create(m_frameDuda, QStringLiteral("CommandBlanco"),
                               QStringLiteral("En &blanco (B)"), QColor(255, 255, 255), QRect());
    m_commandSiguiente =
        ColouredButton::create(m_frameDuda, QStringLiteral("CommandSiguiente"),
                               QStringLiteral("&Siguiente (S)"), QColor(128, 255, 255), QRect());
    auto *keys = new QHBoxLayout;
    keys->addWidget(m_commandMarcada);
    keys->addWidget(m_commandBlanco);
    keys->addWidget(m_commandSiguiente);
    m_textDni = new QLineEdit(m_frameDuda);
    m_textDni->setObjectName(QStringLiteral("TextDni"));
    m_textDni->setPlaceholderText(QStringLiteral("DNI que se ve marcado, e Intro"));
    m_textDni->setMaxLength(12);
    m_textDni->hide();
    ScreenReader::name(m_textDni, QStringLiteral("DNI de la hoja"));
    connect(m_textDni, &QLineEdit::returnPressed, this, &Correccion::TextDni_Return);
    doubt->addWidget(m_textDni);
    doubt->addWidget(m_labelDuda);
    doubt->addWidget(m_imageRecorte, 1);
    doubt->addLayout(keys);
    // Plain keys while the teacher is looking at the marks.
    for (const auto &[key, handler] : {std::pair{Qt::Key_M, &Correccion::CommandMarcada_Click},
                                       std::pair{Qt::Key_B, &Correccion::CommandBlanco_Click},
                                       std::pair{Qt::Key_S, &Correccion::CommandSiguiente_Click}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), m_frameDuda);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    }
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
    connect(m_commandMarcada, &QPushButton::clicked, this, &Correccion::CommandMarcada_Click);
    connect(m_commandBlanco, &QPushButton::clicked, this, &Correccion::CommandBlanco_Click);
    connect(m_commandSiguiente, &QPushButton::clicked, this, &Correccion::CommandSiguiente_Click);
    connect(m_commandNotas, &QPushButton::clicked, this, &Correccion::CommandNotas_Click);
    connect(m_commandRevision, &QPushButton::clicked, this, &Correccion::CommandRevision_Click);
    connect(m_commandInforme, &QPushButton::clicked, this, &Correccion::CommandInforme_Click);
    connect(m_commandSalir, &QPushButton::clicked, this, &Correccion::CommandSalir_Click);
    connect(&m_run, &MarkingRun::progress, this, &Correccion::showProgress);
    connect(&m_run, &MarkingRun::finished, this, &Correccion::markingFinished);
    m_saveNotas = std::make_unique<SaveDialog>(QStringLiteral("GuardarNotas"), this);
    m_saveNotas->setFilter(QStringLiteral("CSV (*.csv)"));
    m_saveNotas->setDefaultSuffix(QStringLiteral("csv"));
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
    for (const HistoryExam &exam : exams)
        if (!exam.exposition)
            m_comboExamen->addItem(
                QStringLiteral("%1. %2 (%3)")
                    .arg(exam.id)
                    .arg(exam.title, exam.madeAt.toString(QStringLiteral("dd/MM/yyyy"))),
                exam.id);
    if (QWidget *frame = container(); frame != this)
        frame->showMaximized();
    m_commandEscaneos->setFocus();
}

void Correccion::Form_Unload()
{
    if (m_run.isRunning())
        m_run.cancel();
    WorkingWindow::Form_Unload();
}

void Correccion::leaveWindow()
{
    if (isUnloading())
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
    if (chosen.isEmpty())
        return;
    m_scans = chosen;
    QStringList names;
    for (const QString &scan : chosen)
        names << QFileInfo(scan).fileName();
    m_labelEscaneos->setText(names.join(QStringLiteral(", ")));
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
}

void Correccion::setRunning(bool running)
{
    for (QWidget *control :
         {static_cast<QWidget *>(m_commandEscaneos), static_cast<QWidget *>(m_comboExamen),
          static_cast<QWidget *>(m_textPenalizacion), static_cast<QWidget *>(m_commandAlumnos),
          static_cast<QWidget *>(m_commandCorregir), static_cast<QWidget *>(m_frameDuda),
          static_cast<QWidget *>(m_commandNotas), static_cast<QWidget *>(m_commandRevision)})
        control->setEnabled(!running);
    m_commandCancelar->setEnabled(running);
    const bool marked = m_marked.has_value() && !running;
    m_commandNotas->setEnabled(marked);
    m_commandRevision->setEnabled(marked);
    m_commandInforme->setEnabled(marked && m_figuresView->table().has_value());
    m_frameDuda->setEnabled(marked && !m_boxes.isEmpty());
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
    m_penalty = request.penalty;
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
    for (MarkedSheet &sheet : outcome.result.sheets)
        sheet.name = m_students.value(sheet.dni);

    // The whole marking goes to the history in one change, as orvalis-banco
    // corregir writes it.
    m_history = std::make_unique<ExamHistory>();
    QString failed = m_history->open(ExamHistory::Access::ReadWrite);
    if (failed.isEmpty()) {
        QList<sheetRecords::StoredSheet> toStore;
        for (const MarkedSheet &sheet : std::as_const(outcome.result.sheets))
            toStore.append({sheet.code.version, sheet.code.serial, sheet.readDni, sheet.read,
                            outcome.key.positions.value(sheet.code.version), sheet.file,
                            sheet.page});
        failed = sheetRecords::store(*m_history, outcome.exam.id, toStore, {});
    }
    if (!failed.isEmpty()) {
        // Decisions about sheets the history does not hold would go nowhere.
        m_history.reset();
        MessageBox::inform(
            QStringLiteral("No se ha podido anotar la corrección en el historial: %1.").arg(failed),
            this);
    }

    m_marking = std::make_unique<SheetMarking>(outcome.key, m_penalty);
    m_marked = std::move(outcome);
    m_boxWords.clear();
    m_pageShown = {QString(), -1};
    fillGrades();
    fillFigures();
    collectBoxes();
    setRunning(false);
    int pending = 0;
    for (const MarkedSheet &sheet : std::as_const(m_marked->result.sheets))
        pending += sheet.pending ? 1 : 0;
    tell(QStringLiteral("%1 hojas corregidas, %2 pendientes, %3 páginas rechazadas.")
             .arg(m_marked->result.sheets.size())
             .arg(pending)
             .arg(m_marked->result.refusals.size()));
    if (!m_marked->result.refusals.isEmpty()) {
        QStringList lines;
        for (const Refusal &refusal : std::as_const(m_marked->result.refusals))
            lines << refusal.line();
        MessageBox::inform(lines.join(u'\n'), this);
    }
    if (!m_boxes.isEmpty())
        m_commandMarcada->setFocus();
}

void Correccion::fillGrades()
{
    m_gridNotas->setSortingEnabled(false);
    m_gridNotas->setRowCount(0);
    const QList<MarkedSheet> &sheets = m_marked->result.sheets;
    m_gridNotas->setRowCount(int(sheets.size()));
    QFont bold = m_gridNotas->font();
    bold.setBold(true);
    for (int row = 0; row < sheets.size(); ++row) {
        const MarkedSheet &sheet = sheets[row];
        const QList<QVariant> values{sheet.dni,
                                     sheet.name,
                                     versionLetter(sheet.code.version),
                                     sheet.right,
                                     sheet.wrong,
                                     sheet.blank,
                                     sheet.doubtful,
                                     sheet.pointsPending() ? QVariant() : QVariant(sheet.points),
                                     sheet.pointsPending() ? QVariant() : QVariant(sheet.grade),
                                     sheet.pending ? QStringLiteral("⚠ Pendiente")
                                                   : QStringLiteral("Corregida")};
        for (int column = 0; column < Columns; ++column) {
            QTableWidgetItem *item = cell(values[column]);
            item->setData(Qt::UserRole, row);
            if (sheet.pending) {
                item->setFont(bold);
                item->setBackground(QColor(255, 240, 160));
            }
            m_gridNotas->setItem(row, column, item);
        }
    }
    m_gridNotas->setSortingEnabled(true);
    m_gridNotas->resizeColumnsToContents();
}

void Correccion::fillFigures()
{
    m_figuresView->clear();
    if (!m_history)
        return;
    QString error;
    const QList<MarkedExam> exams = markedSheets::read(*m_history, m_marked->exam.id, &error);
    const AnswerKey &key = m_marked->key;
    const HistoryExam &exam = m_marked->exam;
    const AnswerOf answerOf = [&](const HistoryQuestion &question) -> std::optional<bool> {
        const qsizetype n = exam.questions.indexOf(question);
        return n < 0 ? std::nullopt : std::optional<bool>(key.answers.value(0).value(n));
    };
    const std::optional<ExamFigures> figures =
        exams.isEmpty() ? std::nullopt : markedSheets::figures(exams.first(), answerOf, m_penalty);
    if (figures)
        m_figuresView->showFigures(*figures, exams.first().pending, exam.questions);
}

void Correccion::collectBoxes()
{
    m_boxes.clear();
    const QList<MarkedSheet> &sheets = m_marked->result.sheets;
    for (int s = 0; s < sheets.size(); ++s) {
        if (sheets[s].dni.contains(u'?'))
            m_boxes.append({s, kDni, true});
        for (int n = 0; n < sheets[s].answers.size(); ++n)
            if (sheets[s].answers[n] == u'?' || sheets[s].answers[n] == u'X') {
                m_boxes.append({s, n, true});
                m_boxes.append({s, n, false});
            }
    }
    m_box = m_boxes.isEmpty() ? -1 : 0;
    showBox();
}

void Correccion::showBox()
{
    m_frameDuda->setEnabled(m_box >= 0);
    if (m_box < 0) {
        m_labelDuda->setText(QStringLiteral("Ninguna marca dudosa"));
        m_imageRecorte->clear();
        return;
    }
    const Box &box = m_boxes[m_box];
    const MarkedSheet &sheet = m_marked->result.sheets[box.sheet];
    const bool dni = box.question == kDni;
    m_textDni->setVisible(dni);
    m_commandMarcada->setEnabled(!dni);
    m_commandBlanco->setEnabled(!dni);
    if (dni)
        m_labelDuda->setText(QStringLiteral("Hoja %1: el DNI no se lee seguro (%2). Escriba el "
                                            "que se ve marcado y pulse Intro. (%3 de %4)")
                                 .arg(sheet.code.sheetName(), sheet.dni)
                                 .arg(m_box + 1)
                                 .arg(m_boxes.size()));
    else
        m_labelDuda->setText(
            QStringLiteral("Hoja %1 (DNI %2), pregunta %3: ¿está marcada la casilla "
                           "«%4»? (%5 de %6)")
                .arg(sheet.code.sheetName(), sheet.dni)
                .arg(box.question + 1)
                .arg(box.yes ? QStringLiteral("Sí") : QStringLiteral("No"))
                .arg(m_box + 1)
                .arg(m_boxes.size()));
    const QImage crop = cropOf(box);
    m_imageRecorte->setPixmap(QPixmap::fromImage(crop));
    if (dni) {
        m_textDni->clear();
        m_textDni->setFocus();
    }
}

QImage Correccion::cropOf(const Box &box)
{
    const MarkedSheet &sheet = m_marked->result.sheets[box.sheet];
    const SheetLayout layout(m_marked->key.questions());
    const int page = box.question == kDni ? 0 : layout.pageOf(box.question);
    const ScanPage where = sheet.scanPages.value(page);
    if (where.file.isEmpty())
        return {};
    if (m_pageShown != qMakePair(where.file, where.page)) {
        m_pageShown = {where.file, where.page};
        const int questions = m_marked->key.questions();
        const sheetReader::PageReading reading = sheetReader::read(
            scanFile::page(where.file, where.page),
            [questions](const SheetCode &, QString *) { return std::optional<int>(questions); });
        const cv::Mat &grey = reading.straight;
        m_straight = grey.empty() ? QImage()
                                  : QImage(grey.data, grey.cols, grey.rows, int(grey.step),
                                           QImage::Format_Grayscale8)
                                        .convertToFormat(QImage::Format_RGB32);
    }
    if (m_straight.isNull())
        return {};
    constexpr double mm = sheetReader::kPixelsPerMm;
    const auto pixels = [](const QRectF &r) {
        return QRectF(r.x() * mm, r.y() * mm, r.width() * mm, r.height() * mm).toAlignedRect();
    };
    if (box.question == kDni) {
        const QRect grid = (pixels(SheetLayout::dniWriteBox(0)) | pixels(SheetLayout::dniBox(7, 9)))
                               .adjusted(-int(2 * mm), -int(2 * mm), int(2 * mm), int(2 * mm));
        return m_straight.copy(grid);
    }
    const QRect yes = pixels(layout.answerBox(box.question, true));
    const QRect no = pixels(layout.answerBox(box.question, false));
    const QRect area = (pixels(layout.numberArea(box.question)) | yes | no)
                           .adjusted(-int(2 * mm), -int(2 * mm), int(2 * mm), int(2 * mm));
    QImage crop = m_straight.copy(area);
    QPainter painter(&crop);
    painter.setPen(QPen(QColor(0, 0, 200), 3, Qt::DashLine));
    painter.drawRect((box.yes ? yes : no).translated(-area.topLeft()).adjusted(-4, -4, 4, 4));
    painter.end();
    return crop.scaled(crop.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void Correccion::TextDni_Return()
{
    if (m_box < 0 || !m_marked || m_boxes[m_box].question != kDni)
        return;
    const QString dni = studentList::dniDigits(m_textDni->text());
    if (dni.isEmpty()) {
        tell(QStringLiteral("Escriba los 8 dígitos del DNI (o el NIE)."));
        return;
    }
    const Box box = m_boxes[m_box];
    MarkedSheet &sheet = m_marked->result.sheets[box.sheet];
    const QString failed =
        m_history ? sheetRecords::store(
                        *m_history, m_marked->exam.id, {},
                        {{{sheet.code.version, sheet.code.serial}, {{QStringLiteral("dni"), dni}}}})
                  : QStringLiteral("el historial no está abierto");
    if (!failed.isEmpty()) {
        MessageBox::inform(
            QStringLiteral("No se ha podido anotar la decisión en el historial: %1.").arg(failed),
            this);
        return;
    }
    sheet.dni = dni;
    sheet.name = m_students.value(dni);
    m_marking->grade(sheet);
    m_boxes.removeAt(m_box);
    m_marked->result.doubts.removeIf([&](const Doubt &doubt) {
        return doubt.sheet == sheet.code.sheetName() && doubt.item == QStringLiteral("dni");
    });
    fillGrades();
    tell(QStringLiteral("Hoja %1: DNI %2.").arg(sheet.code.sheetName(), dni));
    m_box = m_boxes.isEmpty() ? -1 : std::min(m_box, int(m_boxes.size()) - 1);
    showBox();
    if (m_box >= 0 && m_boxes[m_box].question != kDni)
        m_commandMarcada->setFocus();
}

void Correccion::CommandMarcada_Click()
{
    decide(true);
}

void Correccion::CommandBlanco_Click()
{
    decide(false);
}

void Correccion::CommandSiguiente_Click()
{
    if (m_boxes.isEmpty())
        return;
    m_box = (m_box + 1) % int(m_boxes.size());
    showBox();
}

void Correccion::decide(bool marked)
{
    if (m_box < 0 || !m_marked || m_boxes[m_box].question == kDni)
        return;
    const Box box = m_boxes[m_box];
    auto &words = m_boxWords[{box.sheet, box.question}];
    (box.yes ? words.first : words.second) = marked;
    if (words.first && words.second) {
        // Both boxes seen: one marked is that answer; none, or both (no
        // single answer given), is a blank.
        const QString value = *words.first && !*words.second   ? QStringLiteral("S")
                              : !*words.first && *words.second ? QStringLiteral("N")
                                                               : QStringLiteral("-");
        MarkedSheet &sheet = m_marked->result.sheets[box.sheet];
        const QString failed =
            m_history ? sheetRecords::store(*m_history, m_marked->exam.id, {},
                                            {{{sheet.code.version, sheet.code.serial},
                                              {{QString::number(box.question + 1), value}}}})
                      : QStringLiteral("el historial no está abierto");
        if (!failed.isEmpty()) {
            (box.yes ? words.first : words.second).reset();
            MessageBox::inform(
                QStringLiteral("No se ha podido anotar la decisión en el historial: %1.")
                    .arg(failed),
                this);
            return;
        }
        sheet.answers[box.question] = value.at(0);
        m_marking->grade(sheet);
        m_boxWords.remove({box.sheet, box.question});
        m_boxes.removeIf(
            [&box](const Box &b) { return b.sheet == box.sheet && b.question == box.question; });
        m_marked->result.doubts.removeIf([&](const Doubt &doubt) {
            return doubt.sheet == sheet.code.sheetName() &&
                   doubt.item == QString::number(box.question + 1);
        });
        fillGrades();
        fillFigures();
        tell(QStringLiteral("Hoja %1, pregunta %2: %3; nota %4.")
                 .arg(sheet.code.sheetName())
                 .arg(box.question + 1)
                 .arg(value == u"-" ? QStringLiteral("en blanco") : value)
                 .arg(gradesReport::decimal(sheet.grade)));
        if (m_boxes.isEmpty())
            m_box = -1;
        else
            m_box = std::min(m_box, int(m_boxes.size()) - 1);
    } else {
        m_box = (m_box + 1) % int(m_boxes.size());
    }
    showBox();
}

void Correccion::CommandNotas_Click()
{
    if (!m_marked)
        return;
    const std::optional<QString> path = m_saveNotas->showSave();
    if (!path)
        return;
    const QByteArray csv =
        gradesReport::csv(m_marked->result, m_marked->key.questions(), m_withNames);
    if (const QString failed = DurableFile::write(*path, csv); !failed.isEmpty()) {
        MessageBox::inform(QStringLiteral("No se ha podido guardar %1: %2.").arg(*path, failed),
                           this);
        return;
    }
    tell(QStringLiteral("Notas guardadas en: %1").arg(*path));
}

void Correccion::CommandRevision_Click()
{
    if (!m_marked)
        return;
    QList<int> chosen;
    for (const QModelIndex &index : m_gridNotas->selectionModel()->selectedRows())
        chosen << m_gridNotas->item(index.row(), 0)->data(Qt::UserRole).toInt();
    if (chosen.isEmpty())
        for (int s = 0; s < m_marked->result.sheets.size(); ++s)
            chosen << s;
    std::sort(chosen.begin(), chosen.end());
    const std::optional<QString> path = m_saveRevision->showSave();
    if (!path)
        return;
    // The pages of the chosen sheets are read again for their images.
    MarkingResult review;
    const int questions = m_marked->key.questions();
    for (int s : chosen) {
        MarkedSheet sheet = m_marked->result.sheets[s];
        for (int page = 0; page < sheet.scanPages.size(); ++page) {
            const ScanPage &where = sheet.scanPages[page];
            if (where.file.isEmpty())
                continue;
            sheet.pages[page].straight =
                sheetReader::read(scanFile::page(where.file, where.page), [questions](
                                                                              const SheetCode &,
                                                                              QString *) {
                    return std::optional<int>(questions);
                }).straight;
        }
        review.sheets.append(sheet);
    }
    if (const QString failed = DurableFile::write(*path, reviewPdf::pdf(review, m_marked->key));
        !failed.isEmpty()) {
        MessageBox::inform(QStringLiteral("No se ha podido guardar %1: %2.").arg(*path, failed),
                           this);
        return;
    }
    tell(QStringLiteral("Hoja de revisión guardada en: %1").arg(*path));
}

void Correccion::CommandInforme_Click()
{
    if (!m_marked || !m_figuresView->table())
        return;
    const std::optional<QString> path = m_saveInforme->showSave();
    if (!path)
        return;
    QStringList texts;
    for (const HistoryQuestion &question : std::as_const(m_marked->exam.questions))
        texts << question.text;
    const QByteArray pdf = figuresReport::pdf(
        QStringLiteral("Examen %1. %2").arg(m_marked->exam.id).arg(m_marked->exam.title),
        *m_figuresView->table(), texts, m_figuresView->chartImage());
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
