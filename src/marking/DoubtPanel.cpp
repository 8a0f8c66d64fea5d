#include "DoubtPanel.h"

#include "ColouredButton.h"
#include "CountedNoun.h"
#include "ScreenReader.h"
#include "SheetLayout.h"
#include "StudentList.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QVBoxLayout>

DoubtPanel::DoubtPanel(QWidget *parent, Decide decide) : QFrame(parent), m_decide(std::move(decide))
{
    setObjectName(QStringLiteral("FrameDuda"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    m_labelDuda = new QLabel(QStringLiteral("Ninguna marca dudosa"), this);
    m_labelDuda->setObjectName(QStringLiteral("LabelDuda"));
    m_labelDuda->setWordWrap(true);
    m_imageRecorte = new QLabel(this);
    m_imageRecorte->setObjectName(QStringLiteral("ImageRecorte"));
    m_imageRecorte->setMinimumSize(240, 100);
    m_imageRecorte->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_imageRecorte->setAlignment(Qt::AlignCenter);
    m_imageRecorte->installEventFilter(this);
    ScreenReader::name(m_imageRecorte, QStringLiteral("Recorte de la hoja"));
    m_commandMarcada =
        ColouredButton::create(this, QStringLiteral("CommandMarcada"),
                               QStringLiteral("&Marcada (M)"), QColor(128, 255, 128), QRect());
    m_commandBlanco =
        ColouredButton::create(this, QStringLiteral("CommandBlanco"),
                               QStringLiteral("En &blanco (B)"), QColor(255, 255, 255), QRect());
    m_commandSiguiente =
        ColouredButton::create(this, QStringLiteral("CommandSiguiente"),
                               QStringLiteral("&Siguiente (S)"), QColor(128, 255, 255), QRect());
    auto *keys = new QHBoxLayout;
    keys->addWidget(m_commandMarcada);
    keys->addWidget(m_commandBlanco);
    keys->addWidget(m_commandSiguiente);
    m_textDni = new QLineEdit(this);
    m_textDni->setObjectName(QStringLiteral("TextDni"));
    m_textDni->setPlaceholderText(QStringLiteral("DNI que se ve marcado, e Intro"));
    // The grid holds digits only: the NIE's first letter may be typed, no
    // other, so that S goes on to the next mark here too.
    m_textDni->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[XYZxyz]?[0-9 .\\-]{0,11}")), m_textDni));
    m_textDni->setMaxLength(12);
    m_textDni->hide();
    m_textDni->installEventFilter(this);
    ScreenReader::name(m_textDni, QStringLiteral("DNI de la hoja"));
    connect(m_textDni, &QLineEdit::returnPressed, this, &DoubtPanel::TextDni_Return);
    layout->addWidget(m_textDni);
    layout->addWidget(m_labelDuda);
    layout->addWidget(m_imageRecorte, 1);
    layout->addLayout(keys);
    connect(m_commandMarcada, &QPushButton::clicked, this, &DoubtPanel::CommandMarcada_Click);
    connect(m_commandBlanco, &QPushButton::clicked, this, &DoubtPanel::CommandBlanco_Click);
    connect(m_commandSiguiente, &QPushButton::clicked, this, &DoubtPanel::CommandSiguiente_Click);
    setEnabled(false);
}

void DoubtPanel::addKeys(QWidget *window)
{
    for (const auto &[key, handler] : {std::pair{Qt::Key_M, &DoubtPanel::CommandMarcada_Click},
                                       std::pair{Qt::Key_B, &DoubtPanel::CommandBlanco_Click},
                                       std::pair{Qt::Key_S, &DoubtPanel::CommandSiguiente_Click}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), window);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, handler] {
            if (isEnabled())
                (this->*handler)();
        });
    }
}

bool DoubtPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_textDni && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_S &&
        !(static_cast<QKeyEvent *>(event)->modifiers() & ~Qt::ShiftModifier)) {
        CommandSiguiente_Click();
        return true;
    }
    if (watched == m_imageRecorte && event->type() == QEvent::Resize && m_current >= 0)
        showCurrent();
    return QFrame::eventFilter(watched, event);
}

void DoubtPanel::clear()
{
    show(nullptr, nullptr);
}

void DoubtPanel::show(const MarkingResult *result, const AnswerKey *key)
{
    m_result = result;
    m_key = key;
    m_doubts.clear();
    m_pageShown = {-1, -1};
    m_yesWord.reset();
    if (result) {
        // Doubts come sheet by sheet: the DNI, then the questions in order.
        QHash<QString, int> sheetOf;
        for (int s = 0; s < result->sheets.size(); ++s)
            sheetOf.insert(result->sheets[s].code.sheetName(), s);
        for (const Doubt &doubt : result->doubts)
            if (!doubt.file.isEmpty() && sheetOf.contains(doubt.sheet))
                m_doubts.append({sheetOf.value(doubt.sheet),
                                 doubt.item == u"dni" ? kDni : doubt.item.toInt() - 1});
    }
    m_current = m_doubts.isEmpty() ? -1 : 0;
    showCurrent();
}

void DoubtPanel::takeFocus()
{
    if (m_current < 0)
        return;
    if (m_doubts[m_current].question == kDni)
        m_textDni->setFocus();
    else
        m_commandMarcada->setFocus();
}

void DoubtPanel::showCurrent()
{
    setEnabled(m_current >= 0);
    if (m_current < 0) {
        m_labelDuda->setText(QStringLiteral("Ninguna marca dudosa"));
        m_imageRecorte->clear();
        m_textDni->hide();
        return;
    }
    const Item &item = m_doubts[m_current];
    const MarkedSheet &sheet = m_result->sheets[item.sheet];
    const bool dni = item.question == kDni;
    const int left = int(m_doubts.size());
    const QString counter = QStringLiteral("%1 %2").arg(
        left == 1 ? u"queda" : u"quedan", counted(left, u"marca dudosa", u"marcas dudosas"));
    const bool yes = !m_yesWord.has_value();
    m_textDni->setVisible(dni);
    m_commandMarcada->setEnabled(!dni);
    m_commandBlanco->setEnabled(!dni);
    if (dni)
        m_labelDuda->setText(QStringLiteral("Hoja %1: el DNI no se lee seguro (%2). Escriba el "
                                            "que se ve marcado y pulse Intro. (%3)")
                                 .arg(sheet.code.sheetName(), sheet.dni, counter));
    else
        m_labelDuda->setText(QStringLiteral("Hoja %1 (DNI %2), pregunta %3: ¿está marcada la "
                                            "casilla «%4»? (%5)")
                                 .arg(sheet.code.sheetName(), sheet.dni)
                                 .arg(item.question + 1)
                                 .arg(yes ? QStringLiteral("Sí") : QStringLiteral("No"), counter));
    const QImage crop = cropOf(item, yes);
    const QSize room = m_imageRecorte->contentsRect().size();
    m_imageRecorte->setPixmap(crop.isNull() ? QPixmap()
                                            : QPixmap::fromImage(crop.scaled(
                                                  room.boundedTo(crop.size() * 2),
                                                  Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    if (dni && !m_textDni->hasFocus()) {
        m_textDni->clear();
        m_textDni->setFocus();
    }
}

QImage DoubtPanel::cropOf(const Item &item, bool yes)
{
    const MarkedSheet &sheet = m_result->sheets[item.sheet];
    const SheetLayout layout(m_key->questions(), sheet.code.layout);
    const int page = item.question == kDni ? 0 : layout.pageOf(item.question);
    if (sheet.scanPages.value(page).file.isEmpty())
        return {};
    if (m_pageShown != qMakePair(item.sheet, page)) {
        m_pageShown = {item.sheet, page};
        const cv::Mat grey = markedPage(sheet, page, m_key->questions());
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
    const int margin = int(2 * mm);
    if (item.question == kDni) {
        // Every row of the grid, 0 to 9, and the digits written above it.
        const QRect grid = pixels(SheetLayout::dniWriteBox(0)) | pixels(SheetLayout::dniBox(0, 0)) |
                           pixels(SheetLayout::dniBox(SheetLayout::kDniDigits - 1, 9));
        return m_straight.copy(grid.adjusted(-margin, -margin, margin, margin));
    }
    const QRect yesBox = pixels(layout.answerBox(item.question, true));
    const QRect noBox = pixels(layout.answerBox(item.question, false));
    const QRect area = (pixels(layout.numberArea(item.question)) | yesBox | noBox)
                           .adjusted(-margin, -margin, margin, margin);
    QImage crop = m_straight.copy(area);
    QPainter painter(&crop);
    painter.setPen(QPen(QColor(0, 0, 200), 3, Qt::DashLine));
    painter.drawRect((yes ? yesBox : noBox).translated(-area.topLeft()).adjusted(-4, -4, 4, 4));
    painter.end();
    return crop;
}

void DoubtPanel::CommandMarcada_Click()
{
    answer(true);
}

void DoubtPanel::CommandBlanco_Click()
{
    answer(false);
}

void DoubtPanel::CommandSiguiente_Click()
{
    if (m_doubts.isEmpty())
        return;
    m_yesWord.reset();
    m_current = (m_current + 1) % int(m_doubts.size());
    showCurrent();
    takeFocus();
}

void DoubtPanel::answer(bool marked)
{
    if (m_current < 0 || m_doubts[m_current].question == kDni)
        return;
    if (!m_yesWord) {
        m_yesWord = marked;
        showCurrent();
        return;
    }
    // Both boxes seen: one marked is that answer; none, or both (no single
    // answer given), is a blank.
    const bool yes = *m_yesWord;
    const QString value = yes && !marked   ? QStringLiteral("S")
                          : !yes && marked ? QStringLiteral("N")
                                           : QStringLiteral("-");
    const Item item = m_doubts[m_current];
    const QString failed = m_decide(item.sheet, QString::number(item.question + 1), value);
    if (!failed.isEmpty()) {
        showCurrent();
        return;
    }
    m_yesWord.reset();
    settled();
    Q_EMIT decided(item.sheet, QString::number(item.question + 1), value);
}

void DoubtPanel::TextDni_Return()
{
    if (m_current < 0 || m_doubts[m_current].question != kDni)
        return;
    const QString dni = studentList::dniDigits(m_textDni->text());
    if (dni.isEmpty()) {
        Q_EMIT hint(QStringLiteral("Escriba los 8 dígitos del DNI (o el NIE)."));
        return;
    }
    const Item item = m_doubts[m_current];
    if (!m_decide(item.sheet, QStringLiteral("dni"), dni).isEmpty())
        return;
    m_textDni->clear();
    settled();
    Q_EMIT decided(item.sheet, QStringLiteral("dni"), dni);
}

// The current mark is settled: the next one takes its place in the list.
void DoubtPanel::settled()
{
    m_doubts.removeAt(m_current);
    if (m_current >= m_doubts.size())
        m_current = m_doubts.isEmpty() ? -1 : 0;
    showCurrent();
    takeFocus();
}
