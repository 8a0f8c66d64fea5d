#pragma once
// Errors of the question bank, as values. Every operation that can fail says
// which way it failed (a code for the program, a Spanish sentence a window
// can put in a message box); nothing is thrown, and the compiler refuses to
// let a result be dropped unless the caller says so with (void).

#include <QString>
#include <QtGlobal>
#include <utility>

enum class BankErrorCode
{
    None,
    NotOpen,              // openBank was not called, or closeBank was
    CannotOpen,           // the bank file cannot be opened or created
    CannotRead,           // a read failed or came back short
    CannotWrite,          // a change failed (read-only file or folder, full disk, ...)
    NoSuchRecord,         // record number outside 1 to recordCount
    ChapterOutOfRange,    // chapter outside 1 to 22
    TopicOutOfRange,      // topic outside 1 to 10
    RecordNumberTooLarge, // the new record number would exceed 32767
    TopicFull,            // the chapter and topic already hold 50 questions
    ChapterFull,          // the chapter already holds its kind's maximum
    TextNotEncodable,     // the text holds characters Windows-1252 cannot represent
    LockedElsewhere,      // another program holds the bank's lock: nothing was written
    ChangedElsewhere,     // another program changed the file since it was indexed: nothing was
                          // written, and the bank has been reloaded
    Refused,              // the caller refused the change on seeing the bank under its lock:
                          // nothing was written
};

struct [[nodiscard]] BankError
{
    BankErrorCode code = BankErrorCode::None;
    QString message; // Spanish, fit for a message box; empty when ok
    QString detail;  // TextNotEncodable: the offending characters; CannotOpen/Read/Write: the
                     // step that failed and the system's reason, in Spanish

    bool ok() const { return code == BankErrorCode::None; }
};

// A value or the error that prevented it. A result that holds an error still
// holds a value: the default-constructed one (an empty list, 0, false, an
// empty record), so that reading value() without checking ok() first gives a
// defined, harmless answer in every build rather than undefined behaviour.
template <typename T> class [[nodiscard]] BankResult
{
public:
    BankResult(T value) : m_value(std::move(value)), m_ok(true) {}
    BankResult(BankError error) : m_value(), m_error(std::move(error)), m_ok(false) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }

    // The value when ok(); a default-constructed T otherwise.
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }

    const BankError &error() const { return m_error; }

private:
    T m_value;
    BankError m_error;
    bool m_ok;
};
