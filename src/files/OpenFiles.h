#pragma once
// The program-wide registry of open record files, so that any window can
// close every file the program holds open. A RecordFile enters the registry
// when it opens and leaves it when it closes or is destroyed.

#include <QtGlobal>

class RecordFile;

class OpenFiles
{
public:
    // Closes every record file the program holds open. Their owners notice
    // through RecordFile::isOpen() and reopen them when they need them again.
    static void closeAllFiles();
    static qsizetype count();

private:
    friend class RecordFile;
    static void add(RecordFile *file);
    static void remove(RecordFile *file);
};

// Shorthand for OpenFiles::closeAllFiles().
void closeAllFiles();
