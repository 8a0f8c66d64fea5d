#pragma once
// Gives a file new content so that, whenever the process is killed or the
// machine stops, the folder holds the old file or the new one, complete:
//
//  1. the temporary file's lock is taken (a lock file beside it, see
//     FileLock): several files of one folder may be replaced through the
//     same temporary name by different programs at once, each holding only
//     its own file's lock, and none may remove, fill or rename another's
//     temporary file; then a temporary file left by an interrupted
//     replacement is removed;
//  2. the temporary file is written whole and flushed to stable storage;
//  3. it is renamed to the new name in one atomic step, over the file that
//     bears that name;
//  4. the folder is flushed, so that the rename is on stable storage;
//  5. when the old file bore another name (such as "QELMEXT2.DAT" replaced by
//     "Qelmext2.dat"), that entry is removed only now, and the folder flushed
//     again. Until then both exist, and the new one, bearing the name a
//     lookup prefers (RecordFile::caseVariants), is the one found. An entry
//     under the stale name (setStaleName()) that an earlier replacement
//     killed at this step left behind goes the same way.
//
// Other entries whose names differ from the file's only by letter case are
// never removed or overwritten: when one of them already bears the new name,
// the file is replaced under its own name instead, and the new file is dated
// after all of them so that it stays the one the lookup finds. A file reached
// through a symbolic link is replaced where it lies, under its own name, and
// the link is kept.

#include <QByteArrayView>
#include <QString>

class FileReplacement
{
public:
    // current: the entry whose content is replaced (it need not exist);
    // newName: the name the new content takes in the same folder;
    // tempName: the temporary file, written in the same folder.
    FileReplacement(const QString &current, const QString &newName, const QString &tempName);

    // How long commit() waits for another program's replacement through the
    // same temporary name: one rewrite of a bank file at most.
    static constexpr int kTemporaryLockWaitMs = 10000;
    // The lock file that guards `tempName` in `folder`.
    static QString temporaryLockPath(const QString &folder, const QString &tempName);

    // An entry of this name beside the new file, left by a replacement
    // killed before it removed the old name, is removed once the new
    // content is in place under newName (never when it is the file itself).
    void setStaleName(const QString &name) { m_staleName = name; }

    // True once the new content is on stable storage under its name. On
    // false, errorString() says which step failed and why, in Spanish; when
    // the failure came before the rename the old file is untouched and the
    // temporary file is gone.
    bool commit(QByteArrayView content);

    QString errorString() const { return m_error; }
    // Where the new content lies after a commit.
    QString resultPath() const { return m_resultPath; }

private:
    struct Target;

    // The steps of commit(), in order. Each failing step sets m_error from the
    // error of its own call and returns false (or -1).
    bool chooseTarget(Target &target);
    static qint64 newestOtherVariant(const Target &target);
    int openFolder(const QString &folder);
    bool removeLeftoverTemporary(int dir);
    int createTemporary(int dir);
    bool fillTemporary(int file, const Target &target, QByteArrayView content, qint64 newestOther);
    bool renameTemporary(int dir, const QString &finalName);
    bool flushFolder(int dir, const QString &folder);
    void removeOldEntries(int dir, const Target &target) const;
    bool fail(int error, const QString &step);

    QString m_current;
    QString m_newName;
    QString m_tempName;
    QString m_staleName;
    QString m_error;
    QString m_resultPath;
};
