#include "DrawDialog.h"

#include "MessageBox.h"
#include "ScreenReader.h"
#include "UsedQuestions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSet>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultMonths = 12;
constexpr int kMaxMonths = 120;
// Any seed of up to nine digits, as the output window's "Clave de barajado".
constexpr int kMaxSeed = 999999999;
constexpr QSize kPlanMinimum(480, 160);
constexpr QSize kPlanPreferred(640, 360);

} // namespace

DrawDialog::DrawDialog(const Setup &setup, QWidget *parent) : QDialog(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("Azar"));
    setWindowTitle(QStringLiteral("Elegir al azar"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        setup.chapters.value(0).topics.isEmpty()
            ? QStringLiteral("Preguntas que se eligen al azar de cada capítulo y tipo:")
            : QStringLiteral("Preguntas que se eligen al azar de cada capítulo y tema (las de un "
                             "capítulo, entre las que no hayan salido en sus temas):"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_plan = new QTreeWidget;
    m_plan->setObjectName(QStringLiteral("Plan"));
    ScreenReader::name(m_plan, intro);
    const bool topics = !setup.chapters.value(0).topics.isEmpty();
    QStringList headers{topics ? QStringLiteral("Capítulo / tema") : QStringLiteral("Capítulo")};
    for (const Column &column : setup.columns)
        headers.append(column.header);
    headers.append(QStringLiteral("Dificultad"));
    m_plan->setHeaderLabels(headers);
    m_plan->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_plan->header()->setStretchLastSection(false);
    for (int chapter = 1; chapter <= setup.chapters.size(); ++chapter) {
        const Chapter &entry = setup.chapters.at(chapter - 1);
        auto *row = new QTreeWidgetItem(m_plan, {entry.title});
        for (int topic = 1; topic <= entry.topics.size(); ++topic)
            new QTreeWidgetItem(row, {entry.topics.at(topic - 1)});
        for (int column = 0; column < setup.columns.size(); ++column) {
            m_plan->setItemWidget(row, column + 1, addCount(column, qint16(chapter), 0));
            for (int topic = 1; topic <= entry.topics.size(); ++topic)
                m_plan->setItemWidget(row->child(topic - 1), column + 1,
                                      addCount(column, qint16(chapter), qint16(topic)));
        }
        const int last = int(setup.columns.size()) + 1;
        m_plan->setItemWidget(row, last, addDifficulty(qint16(chapter), 0));
        for (int topic = 1; topic <= entry.topics.size(); ++topic)
            m_plan->setItemWidget(row->child(topic - 1), last,
                                  addDifficulty(qint16(chapter), qint16(topic)));
    }
    // Chapters alone need no room for the branches of a tree.
    m_plan->setRootIsDecorated(topics);
    // The plan takes the room the screen leaves (it scrolls); on a small or
    // much enlarged screen the options under it keep theirs rather than
    // being drawn over.
    m_plan->setMinimumSize(kPlanMinimum);
    layout->addWidget(m_plan, 1);

    auto *options = new QFormLayout;
    options->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_months = new QSpinBox;
    m_months->setObjectName(QStringLiteral("Meses"));
    m_months->setRange(0, kMaxMonths);
    m_months->setValue(kDefaultMonths);
    // Right after the exam the figures were learnt from, its questions are
    // all left out: a draw by difficulty would find none without being told.
    m_monthsNote = new QLabel;
    m_monthsNote->setObjectName(QStringLiteral("NotaMeses"));
    m_monthsNote->setWordWrap(true);
    auto *months = new QHBoxLayout;
    months->addWidget(m_months);
    months->addWidget(m_monthsNote, 1);
    auto *monthsCaption = new QLabel(
        QStringLiteral("&Dejar fuera las usadas en exámenes de los últimos meses (0: ninguna):"));
    ScreenReader::name(m_months, monthsCaption);
    options->addRow(monthsCaption, months);
    connect(m_months, &QSpinBox::valueChanged, this, &DrawDialog::showMonthsNote);
    for (const Count &count : std::as_const(m_counts))
        connect(count.box, &QSpinBox::valueChanged, this, &DrawDialog::showMonthsNote);
    for (QComboBox *difficulty : std::as_const(m_difficulties))
        connect(difficulty, &QComboBox::currentIndexChanged, this, &DrawDialog::showMonthsNote);
    showMonthsNote();
    m_seed = new QSpinBox;
    m_seed->setObjectName(QStringLiteral("Clave"));
    m_seed->setRange(0, kMaxSeed);
    m_seed->setValue(QRandomGenerator::global()->bounded(1, 100000));
    options->addRow(QStringLiteral("&Clave del sorteo (la misma clave y el mismo plan eligen las "
                                   "mismas preguntas):"),
                    m_seed);
    layout->addLayout(options);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DrawDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // As large as the plan would like, within the screen's free area.
    QSize wanted = sizeHint() + kPlanPreferred - m_plan->minimumSize();
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableSize() * 9 / 10);
    resize(wanted.expandedTo(minimumSizeHint()));
}

QSpinBox *DrawDialog::addCount(int column, qint16 chapter, qint16 topic)
{
    auto *box = new QSpinBox;
    box->setObjectName(QStringLiteral("Cantidad_%1_%2_%3").arg(column).arg(chapter).arg(topic));
    box->setRange(0, m_setup.columns.at(column).limit);
    // The reader says the line and the column the count is for, which the
    // teacher sees at the row's start and over the column.
    const Chapter &entry = m_setup.chapters.at(chapter - 1);
    QString line = entry.title.trimmed();
    if (topic > 0)
        line += QStringLiteral(", ") + entry.topics.at(topic - 1);
    ScreenReader::name(box, line + QStringLiteral(": ") + m_setup.columns.at(column).header);
    m_counts.append({column, chapter, topic, box});
    return box;
}

QComboBox *DrawDialog::addDifficulty(qint16 chapter, qint16 topic)
{
    auto *box = new QComboBox;
    box->setObjectName(QStringLiteral("Dificultad_%1_%2").arg(chapter).arg(topic));
    // In the order of Difficulty.
    box->addItems({QStringLiteral("Cualquiera"), QStringLiteral("Fácil"), QStringLiteral("Media"),
                   QStringLiteral("Difícil"), QStringLiteral("Sin corregir")});
    const Chapter &entry = m_setup.chapters.at(chapter - 1);
    QString line = entry.title.trimmed();
    if (topic > 0)
        line += QStringLiteral(", ") + entry.topics.at(topic - 1);
    ScreenReader::name(box, line + QStringLiteral(": Dificultad"));
    m_difficulties.insert({chapter, topic}, box);
    return box;
}

QString DrawDialog::overflow() const
{
    for (int column = 0; column < m_setup.columns.size(); ++column) {
        const Column &c = m_setup.columns.at(column);
        int asked = 0;
        for (const Count &count : m_counts)
            if (count.column == column)
                asked += count.box->value();
        if (asked <= c.room)
            continue;
        const QString intro = QStringLiteral("Se piden %1 %2, ").arg(asked).arg(c.noun);
        if (c.room == 0)
            return intro +
                   QStringLiteral("pero la selección ya tiene las %1 que admite.").arg(c.limit);
        return intro + QStringLiteral("pero en la selección solo %1 %2 más (admite %3).")
                           .arg(c.room == 1 ? QStringLiteral("cabe") : QStringLiteral("caben"))
                           .arg(c.room)
                           .arg(c.limit);
    }
    return QString();
}

void DrawDialog::showMonthsNote()
{
    QString note;
    if (m_months->value() == 0) {
        note = QStringLiteral("No se deja fuera ninguna pregunta por haber salido en un examen.");
    } else {
        // As the draw counts them: each question once, of the line's difficulty.
        const QDateTime since = ExamDraw::cutOff(QDateTime::currentDateTime(), m_months->value());
        QSet<QString> asked;
        QSet<QString> leftOut;
        for (qsizetype i = 0; i < m_counts.size(); ++i) {
            const Count &count = m_counts.at(i);
            if (count.box->value() == 0)
                continue;
            const QuestionKind kind = m_setup.columns.at(count.column).kind;
            if (!m_gathered.contains(i))
                m_gathered.insert(i, m_setup.gather(kind, count.chapter, count.topic));
            const auto difficulty =
                Difficulty(m_difficulties.value({count.chapter, count.topic})->currentIndex());
            for (const DrawQuestion &question : m_gathered.value(i)) {
                if (difficulty != Difficulty::Any &&
                    ExamDraw::difficultyOf(m_setup.statistics, kind, question.text) != difficulty)
                    continue;
                const QString key = QString::number(int(kind)) + u'|' + question.text.trimmed();
                asked.insert(key);
                if (m_setup.used && m_setup.used->usedSince(kind, question.text, since))
                    leftOut.insert(key);
            }
        }
        note = asked.isEmpty()
                   ? QStringLiteral("Se dejan fuera las preguntas de los exámenes de esos meses; "
                                    "con 0 meses, ninguna.")
                   : QStringLiteral("Preguntas de las líneas pedidas que se dejan fuera ahora: "
                                    "%1 de %2. Con 0 meses, ninguna.")
                         .arg(leftOut.size())
                         .arg(asked.size());
    }
    m_monthsNote->setText(note);
    m_months->setAccessibleDescription(note);
}

void DrawDialog::accept()
{
    if (const QString refusal = overflow(); !refusal.isEmpty()) {
        MessageBox::inform(refusal, this);
        return;
    }
    // Kind by kind, so that a window that holds one kind's file open at a
    // time opens each file once.
    DrawPlan plan;
    for (int column = 0; column < m_setup.columns.size(); ++column) {
        const QuestionKind kind = m_setup.columns.at(column).kind;
        for (const Count &count : m_counts)
            if (count.column == column && count.box->value() > 0)
                plan.lines.append(
                    {kind, count.chapter, count.topic, count.box->value(),
                     m_setup.gather(kind, count.chapter, count.topic),
                     count.topic > 0 ? m_setup.chapters.at(count.chapter - 1)
                                           .topics.at(count.topic - 1)
                                           .trimmed()
                                     : QString(),
                     Difficulty(
                         m_difficulties.value({count.chapter, count.topic})->currentIndex())});
    }
    plan.used = m_setup.used;
    plan.usedSince = ExamDraw::cutOff(QDateTime::currentDateTime(), m_months->value());
    plan.selected = m_setup.selected;
    plan.seed = quint64(m_seed->value());
    plan.statistics = m_setup.statistics;

    const DrawOutcome outcome = ExamDraw::draw(plan);
    if (!outcome.shortages.isEmpty() &&
        MessageBox::askCancelled(
            QStringLiteral("No hay tantas preguntas como se piden:\n\n") +
                outcome.shortages.join(u'\n') +
                QStringLiteral("\n\nPulse Aceptar para elegir las que hay o Cancelar para volver "
                               "al plan."),
            this))
        return;
    m_drawn = outcome.drawn;
    QDialog::accept();
}

QList<DrawQuestion> DrawDialog::choose(const Setup &setup, QWidget *parent)
{
    DrawDialog dialog(setup, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.m_drawn : QList<DrawQuestion>();
}
