#pragma once
// Writes an examination text to a plain text file: the text followed by one
// CR LF, one byte per character in Windows-1252. A text holding characters
// that the code page cannot represent is refused before anything is written,
// and the outcome names them. The file is replaced whole: the new content is
// written beside it and takes its place only once complete and on stable
// storage, so that a full disk or a killed program leaves an earlier file of
// that name as it was. Write errors come back to the caller.

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

    // Creates the file, or replaces an existing one once the new content is
    // complete.
    static Result writeFile(const QString &path, const QString &text);
};
