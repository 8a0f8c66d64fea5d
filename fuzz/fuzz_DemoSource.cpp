// Any bytes as a demo source file of each kind: parsed into questions and
// problems without a crash or a sanitizer report.
#include "DemoSource.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView content(reinterpret_cast<const char *>(data), qsizetype(size));
    for (int k = 0; k < int(kQuestionKinds.size()); ++k) {
        const DemoSource source =
            DemoSource::parse(QuestionKind(k), QStringLiteral("fuente.txt"), content);
        for (const DemoSourceProblem &problem : source.problems())
            (void)problem.toString();
    }
    return 0;
}
