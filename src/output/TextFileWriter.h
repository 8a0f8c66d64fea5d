#pragma once
// Writes an examination text to a plain text file: the text followed by one
// CR LF, one byte per character in Windows-1252. The text is encoded first,
// on its own, so that a text holding characters the code page cannot
// represent is refused (the outcome names them) before anyone chooses a file
// name for it, and the write takes the encoded bytes. The file is replaced whole: the new content
// is written beside it and takes its place only once complete and on stable storage, so that a full
// disk or a killed program leaves an earlier file of that name as it was. Write errors come back to
// the caller.

#include <QByteArray>
#include <QString>

class TextFileWriter
{
public:
    enum class Outcome
    {
        Written,
        Unencodable, // nothing written; `unencodable` names the characters
        Failed       // the file could not be created or written; see `error`
    };

    struct Result
    {
        Outcome outcome = Outcome::Written;
        QString unencodable; // each offending character once, in order
        QString error;
        bool ok() const { return outcome == Outcome::Written; }
    };

    struct Encoded
    {
        Result result;    // Written, or Unencodable
        QByteArray bytes; // empty unless result.ok()
    };

    // The file's bytes: the text followed by CR LF, in Windows-1252.
    static Encoded encode(const QString &text);
    // Creates the file holding `bytes` (from encode()), or replaces an
    // existing one once the new content is complete.
    static Result writeFile(const QString &path, const QByteArray &bytes);
};
