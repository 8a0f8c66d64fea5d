#include "MarkingSession.h"

#include "ExamVersions.h"
#include "MarkedSheets.h"
#include "SheetRecords.h"
#include "StudentList.h"

#include <QRegularExpression>

namespace answerKey {

std::optional<AnswerKey> of(const HistoryExam &exam, quint32 identifier, const AnswerOf &bank,
                            QString *error, const QString *bankError)
{
    if (exam.exposition) {
        *error = QStringLiteral("el examen %1 es de exposición y no tiene hojas de respuestas")
                     .arg(exam.id);
        return std::nullopt;
    }
    // The answers in the teacher's order, each looked up once.
    QList<bool> answers;
    for (qsizetype n = 0; n < exam.questions.size(); ++n) {
        const HistoryQuestion &question = exam.questions.at(n);
        const std::optional<bool> answer = questionAnswers::of(question, bank);
        if (!answer) {
            *error = bankError && !bankError->isEmpty()
                         ? *bankError
                         : QStringLiteral("no se sabe la respuesta de la pregunta %1 (test, "
                                          "capítulo %2, tema %3): ya no está en el banco, y sin "
                                          "él no se sabe su respuesta")
                               .arg(n + 1)
                               .arg(question.chapter)
                               .arg(question.topic);
            return std::nullopt;
        }
        answers.append(*answer);
    }
    AnswerKey key;
    key.exam = exam.id;
    key.identifier = identifier;
    key.title = exam.title;
    const QList<QList<qsizetype>> orders = exam.versionOrders();
    for (int version = 0; version < std::max(1, exam.versions); ++version) {
        QList<bool> inOrder;
        QList<int> positions;
        for (const qsizetype position : orders.value(version, orders.first())) {
            inOrder.append(answers.at(position));
            positions.append(int(position) + 1);
        }
        key.answers.append(inOrder);
        key.positions.append(positions);
    }
    return key;
}

} // namespace answerKey

namespace decisionsFile {

std::optional<QHash<QString, Decisions>> parse(const QStringList &lines, int questions, int *wrong)
{
    static const QRegularExpression sheetName(
        QStringLiteral("^([0-9]+)-([0-9A-F]{8})-([A-%1])-([0-9]{3,5})$")
            .arg(QChar(u'A' + ExamVersions::kMaxVersions - 1)));
    QHash<QString, Decisions> decisions;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QStringList fields = studentList::csvFields(lines.at(n));
        if (fields.join(QString()).isEmpty() ||
            (n == 0 && fields.value(0).toLower() == QStringLiteral("hoja")))
            continue;
        const QString item = fields.value(1).toLower();
        QString value;
        bool good = fields.size() == 3 && sheetName.match(fields.value(0).toUpper()).hasMatch();
        if (good && item == QStringLiteral("dni")) {
            good = !(value = studentList::dniDigits(fields.value(2))).isEmpty();
        } else if (good) {
            const std::optional<Mark> mark = marks::fromWord(fields.value(2));
            good = mark && item.toInt() >= 1 && item.toInt() <= questions &&
                   item == QString::number(item.toInt());
            value = mark ? QString(marks::letter(*mark)) : QString();
        }
        if (!good) {
            *wrong = int(n + 1);
            return std::nullopt;
        }
        decisions[fields.value(0).toUpper()].insert(item, value);
    }
    return decisions;
}

} // namespace decisionsFile

MarkingSession::MarkingSession(HistoryExam exam, AnswerKey key, double penalty)
    : m_exam(std::move(exam)), m_key(std::move(key)), m_penalty(penalty)
{
}

std::optional<MarkingSession> MarkingSession::open(ExamHistory &history, qint64 number,
                                                   const QString &folder, double penalty,
                                                   Failure *failure, QString *reason)
{
    QString error;
    std::optional<HistoryExam> exam = history.exam(number, &error);
    *failure = !error.isEmpty()   ? Failure::Unreadable
               : !exam            ? Failure::NoSuchExam
               : exam->exposition ? Failure::Exposition
                                  : Failure::None;
    if (*failure != Failure::None) {
        *reason = error;
        return std::nullopt;
    }
    const std::optional<quint32> identifier = sheetRecords::identifier(history, number, &error);
    if (!identifier) {
        *failure = Failure::Unreadable;
        *reason = error;
        return std::nullopt;
    }
    QString bankError;
    const std::optional<AnswerKey> key = answerKey::of(
        *exam, *identifier, questionAnswers::inBank(folder, &bankError), &error, &bankError);
    if (!key) {
        *failure = Failure::NoKey;
        *reason = error;
        return std::nullopt;
    }
    MarkingSession session(std::move(*exam), *key, penalty);
    const auto stored = sheetRecords::decisions(history, number, &error);
    for (auto sheet = stored.cbegin(); sheet != stored.cend(); ++sheet)
        session.m_decisions.insert(SheetCode{SheetLayout::kLayoutVersion, key->exam,
                                             key->identifier, sheet.key().first, sheet.key().second}
                                       .sheetName(),
                                   *sheet);
    return session;
}

void MarkingSession::addDecisions(const QHash<QString, Decisions> &decisions)
{
    for (auto sheet = decisions.cbegin(); sheet != decisions.cend(); ++sheet)
        for (auto item = sheet->cbegin(); item != sheet->cend(); ++item)
            m_decisions[sheet.key()].insert(item.key(), *item);
}

void MarkingSession::setStudents(const QHash<QString, QString> &students)
{
    m_students = students;
    nameStudents();
}

bool MarkingSession::offList(const MarkedSheet &sheet) const
{
    return !m_students.isEmpty() && !sheet.dni.contains(u'?') && !m_students.contains(sheet.dni);
}

const MarkingResult &MarkingSession::mark(const QStringList &scans, SheetMarking::Images images,
                                          const std::function<void(int, int)> &progress,
                                          const std::atomic<bool> *stop, const PileStart *start)
{
    m_result =
        SheetMarking(m_key, m_penalty).mark(scans, m_decisions, images, progress, stop, start);
    m_readingNotes = m_result.notes;
    nameStudents();
    return m_result;
}

void MarkingSession::nameStudents()
{
    m_result.notes = m_readingNotes;
    for (MarkedSheet &sheet : m_result.sheets) {
        sheet.name = m_students.value(sheet.dni);
        if (offList(sheet))
            m_result.notes.append(
                QStringLiteral("el DNI %1 de la hoja %2 no está en la lista de alumnos")
                    .arg(sheet.dni, sheet.code.sheetName()));
    }
}

QStringList MarkingSession::absent() const
{
    QSet<QString> present;
    for (const MarkedSheet &sheet : m_result.sheets)
        present.insert(sheet.dni);
    QStringList absent;
    for (auto student = m_students.cbegin(); student != m_students.cend(); ++student)
        if (!present.contains(student.key()))
            absent.append(QStringLiteral("%1 %2").arg(student.key(), *student));
    absent.sort();
    return absent;
}

int MarkingSession::pendingSheets() const
{
    return int(std::count_if(m_result.sheets.cbegin(), m_result.sheets.cend(),
                             [](const MarkedSheet &sheet) { return sheet.pending; }));
}

QString MarkingSession::record(ExamHistory &history) const
{
    QList<sheetRecords::StoredSheet> sheets;
    QHash<QPair<int, int>, sheetRecords::Decisions> decisions;
    for (const MarkedSheet &sheet : m_result.sheets) {
        sheets.append({sheet.code.version, sheet.code.serial, sheet.readDni, sheet.read,
                       m_key.positions.value(sheet.code.version), sheet.file, sheet.page});
        if (m_decisions.contains(sheet.code.sheetName()))
            decisions.insert({sheet.code.version, sheet.code.serial},
                             m_decisions.value(sheet.code.sheetName()));
    }
    return sheetRecords::store(history, m_exam.id, sheets, decisions);
}

QString MarkingSession::decide(ExamHistory *history, int index, const QString &item,
                               const QString &value)
{
    if (index < 0 || index >= m_result.sheets.size())
        return QStringLiteral("no hay tal hoja");
    MarkedSheet &sheet = m_result.sheets[index];
    const bool dni = item == u"dni";
    const int question = dni ? 0 : item.toInt();
    if (!dni && (question < 1 || question > sheet.answers.size() || value.size() != 1))
        return QStringLiteral("no hay tal pregunta");
    if (!history)
        return QStringLiteral("el historial no está abierto");
    if (const QString failed = sheetRecords::store(
            *history, m_exam.id, {}, {{{sheet.code.version, sheet.code.serial}, {{item, value}}}});
        !failed.isEmpty())
        return failed;
    const QString name = sheet.code.sheetName();
    m_decisions[name].insert(item, value);
    if (dni)
        sheet.dni = value;
    else
        sheet.answers[question - 1] = value.at(0);
    SheetMarking(m_key, m_penalty).grade(sheet);
    if (dni)
        nameStudents();
    m_result.doubts.removeIf(
        [&](const Doubt &doubt) { return doubt.sheet == name && doubt.item == item; });
    return {};
}

void MarkingSession::setPenalty(double penalty)
{
    m_penalty = penalty;
    const SheetMarking marking(m_key, m_penalty);
    for (MarkedSheet &sheet : m_result.sheets)
        marking.grade(sheet);
}

std::optional<ExamFigures> MarkingSession::figures(ExamHistory &history, int *pending) const
{
    QString error;
    const QList<MarkedExam> exams = markedSheets::read(history, m_exam.id, &error);
    if (exams.isEmpty())
        return std::nullopt;
    *pending = exams.first().pending;
    const AnswerOf answerOf = [this](const HistoryQuestion &question) -> std::optional<bool> {
        const qsizetype n = m_exam.questions.indexOf(question);
        return n < 0 ? std::nullopt : std::optional<bool>(m_key.answers.value(0).value(n));
    };
    return markedSheets::figures(exams.first(), answerOf, m_penalty);
}
