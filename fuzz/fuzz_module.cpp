// The simulated module's reading of the line: the decoder alone, then the
// whole module, its glass and its replies. The first byte picks the model.

#include "core/module/commanddecoder.h"
#include "core/module/glasspicture.h"
#include "core/module/modulemodel.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    // Every byte ends up in exactly one command, in order, or is still pending.
    CommandDecoder decoder;
    QList<DecodedCommand> done;
    for (const char b : bytes)
        decoder.feed(quint8(b), done);
    QByteArray seen;
    for (const DecodedCommand &command : std::as_const(done)) {
        FUZZ_CHECK(!command.bytes.isEmpty());
        seen += command.bytes;
        (void)commandName(command);
    }
    FUZZ_CHECK(seen + decoder.pending() == bytes);

    auto clock = std::make_shared<ManualModuleClock>();
    ModuleModel model(clock);
    model.setDisplayModel(data[0] % 4);
    for (const char b : bytes) {
        model.receive(quint8(b), clock->nowNs());
        clock->advanceMs(1);
    }
    (void)model.takeReply();
    (void)model.textRows();
    (void)model.setupLines();
    (void)composeGlass(model, clock->nowNs());
    return 0;
}
