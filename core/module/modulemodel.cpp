#include "core/module/modulemodel.h"

#include "core/base/displaymodel.h"
#include "core/module/modulestatus.h"

ModuleModel::ModuleModel(std::shared_ptr<ModuleClock> clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock ? std::move(clock) : std::make_shared<SteadyModuleClock>())
{
    setDisplayModel(m_model);
}

void ModuleModel::setDisplayModel(int model)
{
    m_model = model >= 0 && model < DisplayModel::kModelCount ? model : DisplayModel::kDefaultModel;
    const DisplayModel::Model &size = DisplayModel::model(m_model);
    m_screen.resize(size.rows, size.columns);
    m_settings.brightness = std::min(m_settings.brightness, size.brightnessLevels);
    emit changed();
}

bool ModuleModel::attachLine()
{
    if (m_lineAttached)
        return false;
    m_lineAttached = true;
    return true;
}

void ModuleModel::receive(quint8 byte, qint64 atNs)
{
    // One list for the life of the model: most bytes complete a command, and
    // a fresh list for each was a large share of the module's time.
    m_decoder.feed(byte, m_done);
    for (const DecodedCommand &command : std::as_const(m_done))
        handle(command, atNs);
    m_done.clear();
    emit changed();
}

void ModuleModel::receive(const QByteArray &bytes)
{
    for (char b : bytes)
        receive(quint8(b), m_clock->nowNs());
}

// In either set-up mode the module takes only that mode's own commands.
std::optional<ModuleModel::Outcome> ModuleModel::gate(ModuleOp op) const
{
    using Op = ModuleOp;
    switch (m_mode) {
    case ModuleMode::UserSetup:
        if (op == Op::UserSetupStart || op == Op::UserSetupEnd || op == Op::SetupStatusDisplay)
            return std::nullopt;
        return Outcome{LogVerdict::Ignored, QStringLiteral("User Setup Mode")};
    case ModuleMode::SerialOut:
        if (op == Op::SerialOutStart || op == Op::SerialOutEnd || op == Op::ReadFirmwareVersion ||
            op == Op::ReadChecksum || op == Op::ReadProductType || op == Op::ReadUserFont)
            return std::nullopt;
        return Outcome{LogVerdict::Ignored, QStringLiteral("Serial OUT mode")};
    case ModuleMode::Normal:
        break;
    }
    return std::nullopt;
}

void ModuleModel::handle(const DecodedCommand &command, qint64 at)
{
    if (command.op == ModuleOp::NotUnderstood) {
        m_log.add(commandName(command), command.bytes, LogVerdict::NotUnderstood);
        return;
    }
    const std::optional<Outcome> refused = gate(command.op);
    const Outcome result = refused ? *refused : apply(command, at);
    if (command.op == ModuleOp::Character) {
        const quint8 code = command.at(0);
        const char16_t shown =
            Glyphs::character(m_settings.codeType, m_settings.internationalSet, code);
        m_log.addCharacter(code, shown ? QChar(shown) : QChar(u'\u00B7'), result.verdict,
                           result.note);
        return;
    }
    m_log.add(commandName(command), command.bytes, result.verdict, result.note);
}

QStringList ModuleModel::setupLines() const
{
    return ModuleStatus::setupScreen(m_screen.rows(), m_setupInfo, m_fonts.checksum());
}

QStringList ModuleModel::textRows() const
{
    if (m_mode == ModuleMode::UserSetup)
        return setupLines();
    QStringList rows;
    for (int r = 0; r < m_screen.rows(); ++r) {
        QString line;
        for (int c = 0; c < m_screen.columns(); ++c) {
            const ModuleCell &cell = m_screen.cell(r, c);
            if (cell.magnifiedPart || cell.character == 0)
                line += QLatin1Char(' ');
            else if (cell.userFont)
                line += QLatin1Char('?');
            else
                line += QChar(cell.character);
        }
        rows.append(line);
    }
    return rows;
}
