// Any bytes as a question file read by the GIFT reader: questions, refusals and
// questions left out, without a crash or a sanitizer report.
#include "GiftImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView content(reinterpret_cast<const char *>(data), qsizetype(size));
    // Places from the categories alone, and from the command line's options.
    for (const ImportOptions &options :
         {ImportOptions{}, ImportOptions{QuestionKind::Brief, 4, 2}}) {
        const ImportedFile file = giftImport::read(QStringLiteral("preguntas"), content, options);
        for (const QuestionKind kind : file.kinds())
            for (const DemoQuestion &question : file.questions(kind))
                (void)question.text.size();
        for (const DemoSourceProblem &problem : file.problems() + file.leftOut())
            (void)problem.toString();
    }
    return 0;
}
