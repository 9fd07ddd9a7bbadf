#include "core/session/boardglass.h"

#include "core/logboard/crlflines.h"
#include "core/logboard/prtline.h"
#include "core/module/modulemodel.h"

namespace BoardGlass {

GlassPicture render(QStringView text, int displayModel, qsizetype lastLine)
{
    // Time starts at 0 and moves only when the module holds its input.
    const auto clock = std::make_shared<ManualModuleClock>();
    ModuleModel model(clock);
    model.setDisplayModel(displayModel);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    QByteArray bytes;
    for (qsizetype n = 1; (lastLine == kAllLines || n <= lastLine) && lines.next(&line, &offset);
         ++n) {
        if (PrtLine::readForPlayer(line, &bytes) != PrtLine::PlayerRead::Data)
            continue;
        for (const char byte : std::as_const(bytes)) {
            clock->sleepUntil(model.holdUntil());
            model.receive(quint8(byte), clock->nowNs());
        }
    }
    clock->sleepUntil(model.holdUntil());
    return composeGlass(model, clock->nowNs(), Blinking::Lit);
}

} // namespace BoardGlass
