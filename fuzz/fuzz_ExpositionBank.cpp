// Any bytes as one of the exposition files (the first byte chooses the kind):
// open, index, list every chapter, read every record and describe what was
// left out, without a crash or a sanitizer report.
#include "ExpositionBank.h"
#include "FuzzFolder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzFolder folder;
    if (size == 0)
        return 0;
    const ExpositionKind kind = expositionKindFromNumber(data[0] % kExpositionKindCount);
    const QString name = expositionKindInfo(kind).loadName;
    if (!folder.put(name, reinterpret_cast<const char *>(data + 1), size - 1))
        return 0;
    ExpositionBank bank(folder.path());
    if (!bank.openBank(kind).ok())
        return 0;
    for (int chapter = 0; chapter <= ExpositionBank::kChapters + 1; ++chapter)
        (void)bank.questionsOf(chapter); // errors are values; only crashes matter
    for (qint32 n = 0; n <= bank.recordCount() + 1; ++n)
        (void)bank.readRecord(n);
    (void)bank.openingNotes();
    return 0;
}
