// The players' reading of "PRT" lines, line by line as a playback walks a text.

#include "core/logboard/crlflines.h"
#include "core/logboard/prtline.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    while (lines.next(&line, &offset)) {
        FUZZ_CHECK(offset >= 0 && offset + line.size() <= text.size());
        QByteArray bytes;
        QStringView badToken;
        const PrtLine::PlayerRead read = PrtLine::readForPlayer(line, &bytes, &badToken);
        if (read == PrtLine::PlayerRead::NotAByte) {
            // The token named in the message lies inside the line.
            FUZZ_CHECK(!badToken.isEmpty());
            FUZZ_CHECK(badToken.data() >= line.data() &&
                       badToken.data() + badToken.size() <= line.data() + line.size());
        }
        // One byte per token, and a token is at least one character apart.
        FUZZ_CHECK(bytes.size() <= line.size());
    }
    return 0;
}
