// The exports' scan of data lines: line kinds, tokens and the byte count.

#include "core/logboard/crlflines.h"
#include "core/logboard/prtline.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    qsizetype tokens = 0;
    while (lines.next(&line, &offset)) {
        switch (PrtLine::exportLineKind(line)) {
        case PrtLine::ExportRead::Data:
            PrtLine::forEachExportToken(line, [&](QStringView token) {
                FUZZ_CHECK(token.size() == 1 || token.size() == 2);
                FUZZ_CHECK(token.data() >= line.data() &&
                           token.data() + token.size() <= line.data() + line.size());
                (void)PrtLine::exportTokenValue(token);
                ++tokens;
            });
            break;
        case PrtLine::ExportRead::Comment: {
            const QStringView comment = PrtLine::commentText(line);
            FUZZ_CHECK(comment.size() <= line.size());
            break;
        }
        case PrtLine::ExportRead::Other:
            break;
        }
    }
    FUZZ_CHECK(PrtLine::exportByteCount(text) == tokens);
    return 0;
}
