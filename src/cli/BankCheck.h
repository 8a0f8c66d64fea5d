#pragma once
// The check of a bank folder (orvalis-banco comprobar): each of the four bank
// files read as the program reads it, and everything in it that a teacher
// would want to know before trusting it, as plain Spanish lines or as JSON.
// Nothing is written and no missing file is created.

#include "BankSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

struct BankProblem
{
    QString kind;          // a fixed word for programs: "registroIncompleto", "fueraDelIndice", ...
    QList<qint32> records; // the records concerned, ascending; empty for the file as a whole
    QString message;       // one Spanish line
    QVariantMap details;   // the values behind the message, for the JSON report
};

struct BankFileCheck
{
    QuestionKind kind = QuestionKind::TrueFalse;
    QString fileName;  // the name the program loads
    QString entryName; // as spelt on disk; empty when the file does not exist
    QString error;     // why the file could not be read; empty when it was
    qint64 length = 0;
    qint32 records = 0;
    QList<BankProblem> problems;
    // Near-duplicate pairs past the first kShownNearPairs: counted, not kept.
    static constexpr qint64 kShownNearPairs = 100;
    qint64 moreNearPairs = 0;

    bool exists() const { return !entryName.isEmpty(); }
    // "QELMEXT2.DAT: 12 registros (3072 bytes)" and the like.
    QString summary() const;
};

class BankCheck
{
public:
    enum ExitStatus
    {
        Clean = 0,
        ProblemsFound = 1,
        CannotRead = 2
    };

    // nearDuplicates: also the pairs of questions of a chapter that are
    // near-duplicates (see QuestionSearch).
    static BankCheck run(const QString &folder, bool nearDuplicates = false);
    // The checks of one file already read.
    static BankFileCheck checkFile(const BankSnapshot &snapshot, bool nearDuplicates = false);

    QString folder() const { return m_folder; }
    QString folderError() const { return m_folderError; }
    const QList<BankFileCheck> &files() const { return m_files; }
    qint64 problemCount() const;
    ExitStatus exitStatus() const;

    QString toText() const;
    QByteArray toJson() const;

private:
    QString m_folder;
    QString m_folderError;
    QList<BankFileCheck> m_files;
};
