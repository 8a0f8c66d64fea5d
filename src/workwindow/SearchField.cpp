#include "SearchField.h"

#include "ExpositionBank.h"
#include "FlexGrid.h"
#include "RecordFile.h"
#include "ScreenReader.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>

#include <array>

namespace {

constexpr int kHtmlRole = Qt::UserRole + 1;
constexpr int kVisibleRows = 8;

// Draws an item's rich text (the place, then the text with its found words
// in bold) on one line.
class MarkedTextDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        QStyle *style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

        QTextDocument document;
        document.setDefaultFont(option.font);
        document.setDocumentMargin(2);
        document.setHtml(index.data(kHtmlRole).toString());
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = option.palette;
        if (option.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text,
                                     option.palette.color(QPalette::HighlightedText));
        painter->save();
        painter->translate(option.rect.topLeft());
        painter->setClipRect(option.rect.translated(-option.rect.topLeft()));
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(),
                option.fontMetrics.height() + 4};
    }
};

QString markedHtml(const QString &text, const QStringList &words)
{
    QString html;
    qsizetype from = 0;
    for (const auto &[start, length] : questionSearch::wordSpans(text, words)) {
        html += text.mid(from, start - from).toHtmlEscaped() + QStringLiteral("<b>") +
                text.mid(start, length).toHtmlEscaped() + QStringLiteral("</b>");
        from = start + length;
    }
    return html + text.mid(from).toHtmlEscaped();
}

} // namespace

SearchField::SearchField(QWidget *window, const QRect &geometry, Load load, Choose choose)
    : QObject(window), m_window(window), m_load(std::move(load)), m_choose(std::move(choose))
{
    m_label = new QLabel(QStringLiteral("&Buscar:"), window);
    m_edit = new QLineEdit(window);
    m_edit->setObjectName(QStringLiteral("Buscar"));
    ScreenReader::name(m_edit, m_label);
    const int labelWidth = m_label->sizeHint().width() + 6;
    m_label->setGeometry(geometry.left(), geometry.top(), labelWidth, geometry.height());
    m_edit->setGeometry(geometry.adjusted(labelWidth, 0, 0, 0));

    m_results = new QListWidget(window);
    m_results->setObjectName(QStringLiteral("BuscarResultados"));
    ScreenReader::name(m_results, QStringLiteral("Resultados de la búsqueda"));
    m_results->setFocusPolicy(Qt::NoFocus);
    m_results->setItemDelegate(new MarkedTextDelegate(m_results));
    m_results->setUniformItemSizes(true);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->hide();

    connect(m_edit, &QLineEdit::textEdited, this, &SearchField::search);
    connect(m_results, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { this->choose(m_results->row(item)); });
    m_edit->installEventFilter(this);
    window->installEventFilter(this);
}

void SearchField::addTrueFalse(QuestionSearch &search, TrueFalseBank &bank)
{
    (void)bank.reloadIfChanged();
    const TopicCatalogue catalogue;
    for (int chapter = 1; chapter <= TrueFalseBank::kChapters; ++chapter) {
        for (int topic = 1; topic <= catalogue.topicCount(chapter); ++topic) {
            // A bank that cannot be read finds nothing more; its listing says why.
            const BankResult<QList<QuestionListing>> listing = bank.questionsOf(chapter, topic);
            if (!listing)
                return;
            for (const QuestionListing &question : *listing)
                search.add(QuestionKind::TrueFalse, chapter, topic, question.recordNumber,
                           question.text);
        }
    }
}

void SearchField::addExposition(QuestionSearch &search, ExpositionBank &bank)
{
    using Chapter = QList<QuestionListing>;
    std::array<std::array<Chapter, ExpositionBank::kChapters>, kExpositionKindCount> found;
    const auto read = [&found](ExpositionBank &from) {
        for (int chapter = 1; chapter <= ExpositionBank::kChapters; ++chapter) {
            const BankResult<Chapter> listing = from.questionsOf(chapter);
            if (!listing)
                return;
            found[size_t(from.kind())][size_t(chapter - 1)] = *listing;
        }
    };
    // Opening another kind closes every open file, the window's included:
    // its own kind is read last, which opens its file again.
    for (int k = 0; k < kExpositionKindCount; ++k) {
        const auto kind = ExpositionKind(k);
        if (kind == bank.kind() ||
            RecordFile::caseVariants(expositionKindInfo(kind).loadName).isEmpty())
            continue;
        ExpositionBank other;
        if (other.openBank(kind).ok())
            read(other);
        other.closeBank();
    }
    (void)bank.reloadIfChanged();
    read(bank);
    for (int k = 0; k < kExpositionKindCount; ++k)
        for (int chapter = 1; chapter <= ExpositionBank::kChapters; ++chapter)
            for (const QuestionListing &question : found[size_t(k)][size_t(chapter - 1)])
                search.add(questionKind::fromExposition(ExpositionKind(k)), chapter, 0,
                           question.recordNumber, question.text);
}

QString SearchField::placeOf(const SearchEntry &entry)
{
    if (entry.kind == QuestionKind::TrueFalse)
        return QStringLiteral("Capítulo %1, tema %2").arg(entry.chapter).arg(entry.topic);
    return QStringLiteral("%1, capítulo %2")
        .arg(expositionKindInfo(questionKind::expositionKind(entry.kind)).caption)
        .arg(entry.chapter);
}

void SearchField::showRow(FlexGrid *grid, int row)
{
    grid->setCurrentCell(row, 1);
    grid->scrollToRow(row);
    grid->setFocus();
}

void SearchField::setEnabled(bool enabled)
{
    m_label->setEnabled(enabled);
    m_edit->setEnabled(enabled);
    if (!enabled)
        closeResults();
}

void SearchField::search()
{
    const QString query = m_edit->text();
    if (query.trimmed().size() < QuestionSearch::kMinimumQueryLength) {
        closeResults();
        return;
    }
    if (!m_loaded) {
        m_search.clear();
        m_load(m_search);
        m_loaded = true;
    }
    m_found = m_search.find(query);
    if (m_found.size() > kMaxListed)
        m_found.resize(kMaxListed);
    const QStringList words = questionSearch::queryWords(query);
    m_results->clear();
    for (const qsizetype i : std::as_const(m_found)) {
        const SearchEntry &entry = m_search.entry(i);
        auto *item = new QListWidgetItem(m_results);
        const QString place = placeOf(entry);
        item->setText(place + QStringLiteral(": ") + entry.text);
        item->setToolTip(entry.text);
        item->setData(kHtmlRole,
                      place.toHtmlEscaped() + QStringLiteral(": ") + markedHtml(entry.text, words));
    }
    if (m_found.isEmpty()) {
        m_results->hide();
        return;
    }
    m_results->setCurrentRow(0);
    // Right above the field, as wide as the field and its label.
    const int rows = qMin(kVisibleRows, int(m_found.size()));
    const int height = rows * m_results->sizeHintForRow(0) + 2 * m_results->frameWidth();
    const QRect field = m_edit->geometry();
    const int left = m_label->geometry().left();
    m_results->setGeometry(left, field.top() - height, field.right() - left + 1, height);
    m_results->raise();
    m_results->show();
}

void SearchField::choose(int row)
{
    if (row < 0 || row >= m_found.size())
        return;
    const SearchEntry entry = m_search.entry(m_found.at(row));
    closeResults();
    m_choose(entry);
}

void SearchField::closeResults()
{
    m_results->hide();
    m_results->clear();
    m_found.clear();
    m_loaded = false;
}

bool SearchField::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_results->isVisible())
        return QObject::eventFilter(watched, event);
    if (watched == m_window) {
        // The list is placed over the window as it was laid out when it opened.
        if (event->type() == QEvent::Resize)
            closeResults();
        return false;
    }
    if (watched != m_edit)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Esc closes the list, not the window.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // A click elsewhere leaves the list open only while it is the
        // list being clicked.
        if (!m_results->underMouse())
            closeResults();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int current = m_results->currentRow();
    switch (key->key()) {
    case Qt::Key_Down:
        m_results->setCurrentRow(qMin(current + 1, m_results->count() - 1));
        return true;
    case Qt::Key_Up:
        m_results->setCurrentRow(qMax(current - 1, 0));
        return true;
    case Qt::Key_PageDown:
        m_results->setCurrentRow(qMin(current + kVisibleRows, m_results->count() - 1));
        return true;
    case Qt::Key_PageUp:
        m_results->setCurrentRow(qMax(current - kVisibleRows, 0));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(current);
        return true;
    case Qt::Key_Escape:
        closeResults();
        return true;
    default:
        return false;
    }
}
