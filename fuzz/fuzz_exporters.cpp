// Each of the five Save As types over any text, into memory.

#include "core/base/codepage.h"
#include "core/logboard/exportformats.h"
#include "fuzzinput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const CodePage codePage(CodePage::Kind::Windows1252);
    const QString text = fuzzText(data, size);
    for (const LogBoardExport::FormatInfo &info : LogBoardExport::formats()) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        const bool written = LogBoardExport::write(out, info.format, text,
                                                   QStringLiteral("/tmp/fuzz-log.c"), codePage)
                                 .ok();
        // Only the Intel HEX image can refuse a text (more bytes than its
        // count holds); everything else writes at least its closing CR LF.
        if (info.format == LogBoardExport::Format::IntelHex)
            FUZZ_CHECK(written || out.data().isEmpty());
        else
            FUZZ_CHECK(written && out.data().endsWith("\r\n"));
    }
    return 0;
}
