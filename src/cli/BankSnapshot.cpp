#include "BankSnapshot.h"

#include "BankKinds.h"
#include "ExpositionIndex.h"
#include "ExpositionRecord.h"
#include "RecordFile.h"
#include "StoredText.h"
#include "TopicCatalogue.h"
#include "TrueFalseIndex.h"
#include "TrueFalseRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString SnapshotRecord::displayText() const
{
    return ::displayText(text);
}

QString SnapshotRecord::textWithoutFill() const
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.left(end);
}

bool SnapshotRecord::hasControlCharacter() const
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString SnapshotRecord::whyNotListed() const
{
    switch (place) {
    case IndexPlace::Listed:
        return {};
    case IndexPlace::TopicNotInCatalogue:
        return QStringLiteral("el tema %1 no está en el catálogo del capítulo %2")
            .arg(topic)
            .arg(chapter);
    case IndexPlace::ChapterOutOfRange:
        return QStringLiteral("el capítulo %1 está fuera de 1 a 22").arg(chapter);
    case IndexPlace::TopicOutOfRange:
        return QStringLiteral("el tema %1 está fuera de 1 a 10").arg(topic);
    case IndexPlace::RecordNumberTooLarge:
        return QStringLiteral("el número de registro pasa de 32767");
    case IndexPlace::TopicFull:
        return QStringLiteral("el tema %1 del capítulo %2 ya tenía 50 preguntas")
            .arg(topic)
            .arg(chapter);
    case IndexPlace::ChapterFull:
        return QStringLiteral("el capítulo %1 ya tenía el máximo de preguntas de este tipo")
            .arg(chapter);
    }
    return {};
}

QString BankSnapshot::fileName() const
{
    return bankKinds::bankFileName(m_kind);
}

BankSnapshot BankSnapshot::read(const QString &folder, DemoSourceKind kind)
{
    BankSnapshot snapshot(kind);
    const QDir dir(folder);
    const QString wanted = snapshot.fileName();
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            snapshot.m_variants.append(entry);
    }
    if (snapshot.m_variants.isEmpty())
        return snapshot;

    // The entry the program itself would open.
    const QFileInfo info(RecordFile::resolve(dir.filePath(wanted)));
    snapshot.m_entryName = info.fileName();
    if (!info.isFile()) {
        snapshot.m_error = QStringLiteral("%1 no es un fichero normal").arg(info.fileName());
        return snapshot;
    }
    if (info.size() > kMaxLength) {
        snapshot.m_error = QStringLiteral("%1 ocupa %2 bytes, más de lo que puede ocupar un banco")
                               .arg(info.fileName())
                               .arg(info.size());
        return snapshot;
    }
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        snapshot.m_error =
            QStringLiteral("no se puede abrir %1: %2").arg(info.fileName(), file.errorString());
        return snapshot;
    }
    snapshot.m_bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        snapshot.m_error =
            QStringLiteral("no se puede leer %1: %2").arg(info.fileName(), file.errorString());
        snapshot.m_bytes.clear();
        return snapshot;
    }
    snapshot.decode();
    return snapshot;
}

QByteArray BankSnapshot::recordBytes(qint32 n) const
{
    const int length = bankKinds::recordLength(m_kind);
    if (n < 1 || qint64(n) * length > m_bytes.size())
        return {};
    return m_bytes.mid(qsizetype(n - 1) * length, length);
}

// Puts every whole record where the program's index would put it, so that
// what a window lists and what the check reports agree.
void BankSnapshot::decode()
{
    const int length = bankKinds::recordLength(m_kind);
    const qint32 whole = qint32(m_bytes.size() / length);
    m_trailingBytes = int(m_bytes.size() % length);
    m_held.setRecordCount(whole);
    m_records.reserve(whole);

    const bool trueFalse = m_kind == DemoSourceKind::TrueFalse;
    const ExpositionKind expositionKind = DemoSource::expositionKind(m_kind);
    const TopicCatalogue catalogue;
    TrueFalseIndex trueFalseIndex;
    ExpositionIndex expositionIndex(expositionKind);

    for (qint32 n = 1; n <= whole; ++n) {
        const QByteArrayView bytes(m_bytes.constData() + qsizetype(n - 1) * length, length);
        SnapshotRecord record;
        record.number = n;
        if (trueFalse) {
            const TrueFalseRecord decoded = TrueFalseRecord::fromBytes(bytes);
            record.chapter = decoded.chapter;
            record.topic = decoded.topic;
            record.answer = decoded.answer;
            record.text = decoded.text;
            switch (trueFalseIndex.add(record.chapter, record.topic, n)) {
            case TrueFalseIndex::AddResult::Added:
                if (record.topic > catalogue.topicCount(record.chapter))
                    record.place = IndexPlace::TopicNotInCatalogue;
                break;
            case TrueFalseIndex::AddResult::ChapterOutOfRange:
                record.place = IndexPlace::ChapterOutOfRange;
                break;
            case TrueFalseIndex::AddResult::TopicOutOfRange:
                record.place = IndexPlace::TopicOutOfRange;
                break;
            case TrueFalseIndex::AddResult::RecordNumberTooLarge:
                record.place = IndexPlace::RecordNumberTooLarge;
                break;
            case TrueFalseIndex::AddResult::TopicFull:
                record.place = IndexPlace::TopicFull;
                break;
            }
        } else {
            const ExpositionRecord decoded = ExpositionRecord::fromBytes(expositionKind, bytes);
            record.chapter = decoded.chapter;
            record.text = decoded.text;
            switch (expositionIndex.add(record.chapter, n)) {
            case ExpositionIndex::AddResult::Added:
                break;
            case ExpositionIndex::AddResult::ChapterOutOfRange:
                record.place = IndexPlace::ChapterOutOfRange;
                break;
            case ExpositionIndex::AddResult::ChapterFull:
                record.place = IndexPlace::ChapterFull;
                break;
            }
        }
        m_held.addText(record.chapter, record.topic, record.displayText(), n);
        m_records.append(record);
    }

    for (int chapter = 1; chapter <= TrueFalseIndex::kChapters; ++chapter) {
        if (!trueFalse) {
            m_held.setListed(chapter, 0, expositionIndex.count(chapter));
            continue;
        }
        for (int topic = 1; topic <= TrueFalseIndex::kTopics; ++topic)
            m_held.setListed(chapter, topic, trueFalseIndex.count(chapter, topic));
    }
}
