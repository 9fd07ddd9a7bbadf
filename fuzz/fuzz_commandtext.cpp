// Both command-text notations over any code-page bytes.

#include "core/transport/commandtext.h"
#include "fuzzinput.h"

namespace {

bool isCodeOrMarker(qint16 code)
{
    return (code >= 0 && code <= 255) || code == Marker::KeyWait || code == Marker::Flush ||
           code == Marker::Pause;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));

    // Every entry comes from at least one byte of the text.
    const Codes escaped = CommandText::fromEscapes(bytes);
    FUZZ_CHECK(escaped.size() <= bytes.size());
    for (const qint16 code : escaped)
        FUZZ_CHECK(isCodeOrMarker(code));

    // The "&h" notation has no markers at all.
    const Codes amp = CommandText::fromTextEntry(bytes);
    FUZZ_CHECK(amp.size() <= bytes.size());
    for (const qint16 code : amp)
        FUZZ_CHECK(code >= 0 && code <= 255);

    (void)CommandText::isHexLiteral(QString::fromLatin1(bytes));
    return 0;
}
