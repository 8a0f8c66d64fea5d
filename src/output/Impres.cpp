#include "Impres.h"

#include "ClipboardSeam.h"
#include "ColouredButton.h"
#include "Cp1252.h"
#include "DurableFile.h"
#include "ExamFormatDialog.h"
#include "ExamOdt.h"
#include "ExamPdf.h"
#include "ExamRecorder.h"
#include "ExamText.h"
#include "ExamVersions.h"
#include "HandOver.h"
#include "MainWindowServices.h"
#include "MessageBox.h"
#include "PrinterSeam.h"
#include "ProgramState.h"
#include "ScreenReader.h"
#include "SentVersions.h"
#include "SheetCopiesDialog.h"
#include "SheetPdf.h"
#include "SheetRecords.h"
#include "TextFileWriter.h"
#include "TextPrinter.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>

namespace {

const QString kStatusText = QStringLiteral("Imprimir examen");
const QString kClipboardMessage = QStringLiteral(
    "Texto transferido al portapapeles. Para recuperar su contenido en un procesador de textos "
    "pulse el botón derecho del ratón y selecciones 'Pegar'.");
const QString kSavedMessage = QStringLiteral("Fichero guardado como: ");
const QString kFileFilter = QStringLiteral("Texto (*.TXT)");
const QString kPdfFilter = QStringLiteral("Documento PDF (*.pdf)");
const QString kOdtFilter = QStringLiteral("Documento de texto (*.odt)");
const QString kPrintFailed = QStringLiteral("No se ha podido imprimir: ");
const QString kNoPrinter = QStringLiteral("no hay ninguna impresora predeterminada en el sistema");
const QString kPrinterRefused = QStringLiteral("la impresora %1 no ha aceptado el trabajo");
const QString kPrintedStatus = QStringLiteral("Examen enviado a la impresora %1");
const QString kSaveFailed = QStringLiteral("No se ha podido guardar el fichero: ");
const QString kUnencodable =
    QStringLiteral("El texto contiene caracteres que no se pueden guardar en un fichero de texto: "
                   "%1. Cámbielos o bórrelos; no se ha guardado nada.");

// Geometry in twips; the strip's controls are placed relative to the strip.
// Two rows: the destinations and the exit as they have always been, with
// "PDF" beside "Fichero", then the PDF's format and the versions below them,
// so that the strip stays within a screen of 960 points at 200 %.
constexpr int kStripHeight = 915;
constexpr int kSecondRow = 480;
constexpr int kTextWidthAllowance = 240;
constexpr int kTextHeightAllowance = 390;

// The strip's captions are in a bold sans serif; Arial (Liberation Sans
// through the font configuration) is the one every installation has.
QFont boldFont(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

// A print job to a file (as in tests) has no printer name; the file stands
// for it.
QString printerName(const QPrinter &printer)
{
    if (!printer.printerName().isEmpty())
        return printer.printerName();
    return QDir::toNativeSeparators(printer.outputFileName());
}

QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption,
                       const QColor &colour, const QRect &geometry)
{
    QPushButton *button = ColouredButton::create(parent, name, caption, colour, geometry, 1);
    button->setFont(boldFont(8.25));
    return button;
}

// The history's view of the exams sent, kept from one visit to the next so
// that the template of an exam just printed is recorded with it.
ExamRecorder &recorder()
{
    static ExamRecorder instance;
    return instance;
}

} // namespace

Impres::Impres()
    : Form(kName, Placement::MdiChild), m_cd1(QStringLiteral("CD1"), this),
      m_cd2(QStringLiteral("CD2"), this), m_cd3(QStringLiteral("CD3"), this)
{
    setWindowTitle(QStringLiteral("IMPRESIÓN DE RESULTADOS"));
    buildControls();
}

void Impres::buildControls()
{
    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(QFont(QStringLiteral("Arial"), 12));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The exam needs no tab characters; Tab reaches the buttons instead.
    m_text1->setTabChangesFocus(true);
    m_text1->move(0, 0);
    // Named after what the window sends, as its title and strip say.
    ScreenReader::name(m_text1, QStringLiteral("Resultados"));

    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    QPalette strip = m_picture1->palette();
    strip.setColor(QPalette::Window, QColor(192, 192, 255));
    m_picture1->setPalette(strip);
    m_picture1->setAutoFillBackground(true);

    m_label1 = new QLabel(QStringLiteral("Enviar resultados a:"), m_picture1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(Twips::rect(150, 90, 2085, 240));
    m_label1->setFont(boldFont(9.75));

    m_command1[0] =
        addButton(m_picture1, QStringLiteral("Command1_0"), QStringLiteral("&Portapapeles"),
                  QColor(192, 255, 255), Twips::rect(2400, 60, 1400, 315));
    m_command1[1] =
        addButton(m_picture1, QStringLiteral("Command1_1"), QStringLiteral("&Impresora"),
                  QColor(255, 192, 192), Twips::rect(3900, 60, 1400, 315));
    m_command1[2] = addButton(m_picture1, QStringLiteral("Command1_2"), QStringLiteral("&Fichero"),
                              QColor(255, 255, 192), Twips::rect(5400, 60, 1400, 315));
    // "PDF" joins the destinations; the buttons after it move along.
    m_commandPdf = addButton(m_picture1, QStringLiteral("CommandPdf"), QStringLiteral("P&DF"),
                             QColor(255, 224, 192), Twips::rect(6900, 60, 1400, 315));
    m_command2 =
        addButton(m_picture1, QStringLiteral("Command2"), QStringLiteral("&Salir de impresión"),
                  QColor(128, 255, 128), Twips::rect(8640, 60, 1995, 315));
    m_command3 = ColouredButton::createHelp(m_picture1, QStringLiteral("Command3"),
                                            Twips::rect(10770, 60, 675, 315));
    m_commandFormat = addButton(m_picture1, QStringLiteral("CommandFormato"),
                                QStringLiteral("F&ormato del examen…"), QColor(224, 224, 224),
                                Twips::rect(2400, kSecondRow, 2100, 315));

    auto *versionsLabel = new QLabel(QStringLiteral("&Versiones:"), m_picture1);
    versionsLabel->setGeometry(Twips::rect(4650, kSecondRow + 30, 1000, 240));
    versionsLabel->setFont(boldFont(9.75));
    m_versions = new QSpinBox(m_picture1);
    m_versions->setObjectName(QStringLiteral("Versiones"));
    m_versions->setRange(1, ExamVersions::kMaxVersions);
    m_versions->setGeometry(Twips::rect(5650, kSecondRow, 700, 315));
    ScreenReader::name(m_versions, versionsLabel);
    auto *seedLabel = new QLabel(QStringLiteral("Clave de &barajado:"), m_picture1);
    seedLabel->setGeometry(Twips::rect(6500, kSecondRow + 30, 1800, 240));
    seedLabel->setFont(boldFont(9.75));
    m_seed = new QLineEdit(m_picture1);
    m_seed->setObjectName(QStringLiteral("Clave"));
    m_seed->setGeometry(Twips::rect(8300, kSecondRow, 1100, 315));
    // Any seed the generator takes: up to nine digits fit its 32 bits.
    m_seed->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_seed));
    ScreenReader::name(m_seed, seedLabel);
    m_commandTitle =
        addButton(m_picture1, QStringLiteral("CommandTitulo"), QStringLiteral("Tít&ulo…"),
                  QColor(224, 224, 224), Twips::rect(9550, kSecondRow, 1895, 315));

    m_commandHojas = addButton(m_picture1, QStringLiteral("CommandHojas"),
                               QStringLiteral("&Hojas de respuestas"), QColor(224, 224, 224),
                               Twips::rect(150, kSecondRow, 2100, 315));
    connect(m_commandHojas, &QPushButton::clicked, this, &Impres::sendToSheets);

    for (int index = 0; index < 3; ++index)
        connect(m_command1[index], &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    connect(m_command2, &QPushButton::clicked, this, &Impres::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Impres::Command3_Click);
    connect(m_commandPdf, &QPushButton::clicked, this, &Impres::sendToPdf);
    connect(m_commandFormat, &QPushButton::clicked, this, &Impres::editFormat);
    connect(m_commandTitle, &QPushButton::clicked, this, &Impres::editTitle);
    connect(m_versions, &QSpinBox::valueChanged, this, &Impres::Versiones_Change);
    connect(m_seed, &QLineEdit::editingFinished, this, [this] {
        if (m_versions->value() > 1)
            Versiones_Change();
    });
    setExitButton(m_command2); // "Salir de impresión"

    m_cd1.setFilter(kFileFilter);
    m_cd1.setDefaultSuffix(QStringLiteral("txt"));
    // The PDF's dialog also offers an OpenDocument copy to edit; a name
    // typed without extension gets the one of the type chosen.
    m_cd2.setFilter(kPdfFilter + QStringLiteral(";;") + kOdtFilter);
    m_cd2.setDefaultSuffix(QStringLiteral("pdf"));
    m_cd3.setFilter(kPdfFilter);
    m_cd3.setDefaultSuffix(QStringLiteral("pdf"));
    placeStrip();
}

void Impres::Form_Load()
{
    maximize();
}

void Impres::Form_Activate()
{
    if (MainWindowServices *services = MainWindowServices::instance()) {
        services->setToolbarEnabled(false);
        services->setStatusText(kStatusText);
    }
}

void Impres::Form_Unload()
{
    if (MainWindowServices *services = MainWindowServices::instance()) {
        services->setToolbarEnabled(true);
        services->setStatusText(QString());
    }
}

void Impres::receiveText(const QString &text, const ExamDescription &exam)
{
    m_receivedText = text;
    m_received = exam;
    m_exam = exam;
    {
        const QSignalBlocker blocker(m_versions);
        m_versions->setValue(1);
    }
    m_text1->setPlainText(text);
    recorder().begin();
    // The template of an exam just sent in versions comes in those versions,
    // so that its key matches the copies printed.
    if (const std::optional<SentVersions::Choice> choice =
            SentVersions::recall(HandOver::returnWindow(), exam)) {
        m_seed->setText(QString::number(choice->seed));
        m_versions->setValue(choice->versions); // composes them
    }
}

// Called once the exam has left by any destination.
void Impres::recordSent()
{
    SentVersions::remember(HandOver::returnWindow(), m_exam);
    if (const QString message = recorder().sent(m_exam); !message.isEmpty())
        MessageBox::inform(message, this);
}

void Impres::editTitle()
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Titulo"));
    dialog.setWindowTitle(QStringLiteral("Orvalis"));
    dialog.setLabelText(QStringLiteral("Título del examen en el historial:"));
    dialog.setTextValue(recorder().title());
    dialog.setOkButtonText(QStringLiteral("Aceptar"));
    dialog.setCancelButtonText(QStringLiteral("Cancelar"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const QString message = recorder().rename(dialog.textValue()); !message.isEmpty())
        MessageBox::inform(message, this);
}

void Impres::placeStrip()
{
    const int stripHeight = Twips::toPixelsY(kStripHeight);
    m_picture1->setGeometry(0, height() - stripHeight, width(), stripHeight);
}

void Impres::Form_Resize()
{
    placeStrip();
    // The window's outer size: the child window frame with its borders and
    // caption, or the form itself when it stands alone.
    const QWidget *outer = container();
    const QSize size = outer == this ? frameGeometry().size() : outer->size();
    const int width = size.width() - Twips::toPixelsX(kTextWidthAllowance);
    const int height =
        size.height() - m_picture1->height() - Twips::toPixelsY(kTextHeightAllowance);
    if (width < 0 || height < 0)
        return; // a size that cannot be applied keeps the previous one
    m_text1->resize(width, height);
}

QString Impres::text() const
{
    return m_text1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void Impres::Command1_Click(int index)
{
    switch (index) {
    case 0:
        sendToClipboard();
        break;
    case 1:
        sendToPrinter();
        break;
    case 2:
        sendToFile();
        break;
    default:
        break;
    }
}

void Impres::Command2_Click()
{
    leaveOutput();
}

void Impres::Command3_Click()
{
    HandOver::openHelp(ActiveWindowCodes::kOutput);
}

void Impres::sendToClipboard()
{
    ClipboardSeam::putText(text());
    MessageBox::inform(kClipboardMessage, this);
    recordSent();
}

// The outcome is always said: the printer's name in the status bar once the
// job is sent, the reason in a message when it could not be.
void Impres::sendToPrinter()
{
    const std::unique_ptr<QPrinter> printer = PrinterSeam::defaultPrinter();
    if (!printer) {
        MessageBox::inform(kPrintFailed + kNoPrinter, this);
        return;
    }
    const QString name = printerName(*printer);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = TextPrinter::print(*printer, text());
    QApplication::restoreOverrideCursor();
    if (!printed) {
        MessageBox::inform(kPrintFailed + kPrinterRefused.arg(name), this);
        return;
    }
    if (MainWindowServices *services = MainWindowServices::instance())
        services->announceStatus(kPrintedStatus.arg(name));
    recordSent();
}

void Impres::sendToFile()
{
    // Encoded before the dialog: a name chosen for a text that cannot be
    // saved would be asked for in vain.
    const TextFileWriter::Encoded encoded = TextFileWriter::encode(text());
    if (!encoded.result.ok()) {
        MessageBox::inform(kUnencodable.arg(Cp1252::describe(encoded.result.unencodable)), this);
        return;
    }
    const std::optional<QString> path = m_cd1.showSave();
    if (!path)
        return;
    // Success is reported only once the file is written and closed.
    const TextFileWriter::Result written = TextFileWriter::writeFile(*path, encoded.bytes);
    if (written.ok()) {
        MessageBox::inform(kSavedMessage + QDir::toNativeSeparators(*path), this);
        recordSent();
        return;
    }
    MessageBox::inform(
        kSaveFailed + (written.error.isEmpty() ? QDir::toNativeSeparators(*path) : written.error),
        this);
}

// The document is laid out from the exam itself, so what the teacher may have
// typed into Text1 is not in it; it is written like the text file, whole and
// on stable storage before it is said to be saved. A name ending in ".odt"
// (the dialog's second type) gets the OpenDocument copy instead of the PDF.
void Impres::sendToPdf()
{
    if (!m_cd2Prepared) {
        QFileDialog *dialog = m_cd2.dialog();
        connect(dialog, &QFileDialog::filterSelected, this, [this](const QString &filter) {
            m_cd2.setDefaultSuffix(filter == kOdtFilter ? QStringLiteral("odt")
                                                        : QStringLiteral("pdf"));
        });
        m_cd2Prepared = true;
    }
    const std::optional<QString> path = m_cd2.showSave();
    if (!path)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExamFormat format = ExamFormat::load();
    const bool odt = path->endsWith(QStringLiteral(".odt"), Qt::CaseInsensitive);
    const QByteArray document =
        odt ? ExamOdt::write(m_exam, format) : ExamPdf::write(m_exam, format);
    const QString error = document.isEmpty()
                              ? QStringLiteral("Qt no ha podido componer el documento")
                              : DurableFile::write(*path, document);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        MessageBox::inform(kSaveFailed + error, this);
        return;
    }
    MessageBox::inform(kSavedMessage + QDir::toNativeSeparators(*path), this);
    recordSent();
}

void Impres::sendToSheets()
{
    if (m_exam.kind == ExamDescription::Kind::Exposition) {
        MessageBox::inform(QStringLiteral("Las hojas de respuestas son para los exámenes de tipo "
                                          "test."),
                           this);
        return;
    }
    const std::optional<SheetCopiesDialog::Choice> copies =
        SheetCopiesDialog::ask(m_exam.versions, this);
    if (!copies)
        return;
    recordSent();
    ExamHistory history;
    QString error = recorder().id() > 0 ? history.open() : QStringLiteral("no está anotado");
    std::optional<quint32> identifier;
    if (error.isEmpty())
        identifier = sheetRecords::identifier(history, recorder().id(), &error);
    if (!identifier) {
        MessageBox::inform(QStringLiteral("Las hojas de respuestas necesitan el examen en el "
                                          "historial: ") +
                               error,
                           this);
        return;
    }
    const std::optional<QString> path = m_cd3.showSave();
    if (!path)
        return;
    SheetSet set;
    set.exam = recorder().id();
    set.identifier = *identifier;
    set.title = recorder().title();
    set.versions = m_exam.versions;
    set.questions = m_exam.selection.count(QuestionKind::TrueFalse);
    set.copies = copies->copies;
    set.interleaved = copies->interleaved;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    error = DurableFile::write(*path, sheetPdf::pdf(set));
    QApplication::restoreOverrideCursor();
    MessageBox::inform(error.isEmpty() ? kSavedMessage + QDir::toNativeSeparators(*path)
                                       : kSaveFailed + error,
                       this);
}

// The seed is drawn once, when versions are first made, and kept in the field
// so that changing their number keeps the versions already made.
void Impres::Versiones_Change()
{
    const int versions = m_versions->value();
    if (versions <= 1) {
        m_exam = m_received;
        m_text1->setPlainText(m_receivedText);
        return;
    }
    if (m_seed->text().isEmpty())
        m_seed->setText(QString::number(QRandomGenerator::global()->bounded(1, 100000)));
    m_exam = m_received;
    m_exam.versions = versions;
    m_exam.seed = m_seed->text().toUInt();
    m_text1->setPlainText(composeText(m_exam));
}

void Impres::editFormat()
{
    ExamFormatDialog::edit(this);
}

void Impres::leaveOutput()
{
    HandOver::outputLeft();
}
