// The settings file's reader, and what the window makes of what it read.

#include "core/base/codepage.h"
#include "core/session/configfile.h"
#include "core/session/sessionconfig.h"
#include "fuzzinput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const CodePage codePage(CodePage::Kind::Windows1252);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const ConfigRecord record = ConfigFile::read(file, codePage);
    const StartupPlan plan = SessionConfig::plan(record);
    FUZZ_CHECK(plan.portIndex >= -1 && plan.portIndex < 16);
    FUZZ_CHECK(!plan.displayModel || (*plan.displayModel >= 0 && *plan.displayModel < 4));
    FUZZ_CHECK(QList<int>({9600, 19200, 38400, 115200}).contains(plan.baudRate));
    // A name read from the file never carries a control character into the window.
    if (record.portName) {
        for (const QChar c : *record.portName)
            FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F);
    }

    // What the window would write back from it reads back as the same settings.
    const ConfigSettings settings{plan.portName, plan.baudRate, plan.flowControl, plan.goOnline,
                                  plan.displayModel.value_or(1)};
    const StartupPlan again =
        SessionConfig::plan(ConfigFile::parse(ConfigFile::encode(settings, codePage), codePage));
    FUZZ_CHECK(again.baudRate == plan.baudRate);
    FUZZ_CHECK(again.flowControl == plan.flowControl);
    FUZZ_CHECK(again.goOnline == plan.goOnline);
    FUZZ_CHECK(again.displayModel == plan.displayModel);
    return 0;
}
