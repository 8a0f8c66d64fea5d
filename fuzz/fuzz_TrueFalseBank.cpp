// Any bytes as QELMEXT2.DAT: open, index, list every chapter and topic, read
// every record and describe what was left out, without a crash or a
// sanitizer report.
#include "FuzzFolder.h"
#include "TrueFalseBank.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzFolder folder;
    if (!folder.put(TrueFalseBank::loadName(), reinterpret_cast<const char *>(data), size))
        return 0;
    TrueFalseBank bank(folder.path());
    if (!bank.openBank().ok())
        return 0;
    for (int chapter = 0; chapter <= TrueFalseBank::kChapters + 1; ++chapter)
        for (int topic = 0; topic <= TrueFalseBank::kTopics + 1; ++topic)
            (void)bank.questionsOf(chapter, topic); // errors are values; only crashes matter
    for (qint32 n = 0; n <= bank.recordCount() + 1; ++n)
        (void)bank.readRecord(n);
    (void)bank.openingNotes();
    (void)bank.buildIndex();
    return 0;
}
