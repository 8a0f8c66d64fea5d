#pragma once
// The marking window's panel for the doubtful marks ("FrameDuda"): each one
// shown in the order the pile was read (a sheet's DNI, then its questions),
// cut from the straightened page with the box asked about framed. For a
// question the teacher says of the «Sí» box, then of the «No» box, whether
// it is marked (M, B); one marked is that answer, none or both a blank. A
// DNI is typed as it is seen, and Intro. S (Siguiente) leaves the mark for
// later and goes on to the next. The counter says how many marks are left,
// in the words orvalis-banco corregir uses ("quedan 3 marcas dudosas").
//
// A mark whose page was not scanned is not asked: there is nothing to look
// at, and the grades say the page is missing.
//
// The panel decides nothing itself: each word goes to `decide`, which keeps
// it (MarkingSession::decide) or says why it could not.

#include "SheetMarking.h"

#include <QFrame>
#include <QImage>
#include <QPair>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

class DoubtPanel : public QFrame
{
    Q_OBJECT

public:
    // Keeps the teacher's word about an item of a sheet (its index in the
    // result): "" when kept, or the reason it could not be (once the
    // teacher has been told).
    using Decide = std::function<QString(int sheet, const QString &item, const QString &value)>;

    DoubtPanel(QWidget *parent, Decide decide);

    // The keys M, B and S anywhere in `window` while the panel is in use.
    void addKeys(QWidget *window);

    // Shows the doubts of `result` (of `key`'s exam), from the first.
    void show(const MarkingResult *result, const AnswerKey *key);
    void clear();
    bool hasDoubts() const { return !m_doubts.isEmpty(); }
    // Puts the keyboard on the panel, where it was.
    void takeFocus();

    void CommandMarcada_Click();
    void CommandBlanco_Click();
    void CommandSiguiente_Click();

Q_SIGNALS:
    // What the teacher should type instead (Spanish).
    void hint(const QString &text);
    // A word was kept: the sheet changed.
    void decided(int sheet, const QString &item, const QString &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Item
    {
        int sheet = 0;
        int question = 0; // 0-based, in the version's order; kDni for the DNI
    };
    static constexpr int kDni = -1;

    void showCurrent();
    void answer(bool marked);
    void TextDni_Return();
    void settled();
    QImage cropOf(const Item &item, bool yes);

    Decide m_decide;
    const MarkingResult *m_result = nullptr;
    const AnswerKey *m_key = nullptr;
    QList<Item> m_doubts;
    int m_current = -1;
    // The teacher's word about the current question's «Sí» box, once given.
    std::optional<bool> m_yesWord;
    // The straightened page last cut from: (sheet, page).
    QPair<int, int> m_pageShown{-1, -1};
    QImage m_straight;

    QLabel *m_labelDuda = nullptr;
    QLabel *m_imageRecorte = nullptr;
    QPushButton *m_commandMarcada = nullptr;
    QPushButton *m_commandBlanco = nullptr;
    QPushButton *m_commandSiguiente = nullptr;
    QLineEdit *m_textDni = nullptr;
};
