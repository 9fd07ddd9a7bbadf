// The binary save's reading of the output monitor's text.

#include "core/base/codepage.h"
#include "core/logboard/binarysave.h"
#include "fuzzinput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const CodePage codePage(CodePage::Kind::Windows1252);
    const QString text = fuzzText(data, size);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    FUZZ_CHECK(BinarySave::write(out, text, codePage).ok());
    // Two digits a byte, each digit one character of a single-byte code page.
    FUZZ_CHECK(out.data().size() <= text.size() / 2);
    return 0;
}
