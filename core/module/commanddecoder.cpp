#include "core/module/commanddecoder.h"

#include <array>
#include <bitset>
#include <initializer_list>

namespace {

// The byte values a position of a command accepts.
using Rule = std::bitset<256>;

Rule range(int low, int high)
{
    Rule rule;
    for (int b = low; b <= high; ++b)
        rule.set(size_t(b));
    return rule;
}

Rule is(int value)
{
    return range(value, value);
}

Rule any()
{
    return range(0x00, 0xFF);
}

struct Syntax
{
    ModuleOp op;
    QList<Rule> rules; // one per byte
};

QList<Rule> fixed(std::initializer_list<int> bytes)
{
    QList<Rule> rules;
    for (int b : bytes)
        rules.append(is(b));
    return rules;
}

QList<Rule> fixedThen(std::initializer_list<int> bytes, std::initializer_list<Rule> parameters)
{
    QList<Rule> rules = fixed(bytes);
    rules.append(QList<Rule>(parameters));
    return rules;
}

// The user font define header: 1B 26 a c1 c2, then per character a count byte
// and that many pattern bytes (decoded separately, its length depends on c1 and c2).
constexpr int kDefineHeaderSize = 5;
constexpr int kMaxPatternBytes = 5; // 5 x 8 dots

const QList<Syntax> &syntaxTable()
{
    using Op = ModuleOp;
    // Static like the table: this runs for every byte the module reads.
    static const Rule userCode = range(0x20, 0xFF);
    static const QList<Syntax> table = {
        {Op::Character, {range(0x20, 0xFF)}},
        {Op::BackSpace, fixed({0x08})},
        {Op::HorizontalTab, fixed({0x09})},
        {Op::LineFeed, fixed({0x0A})},
        {Op::HomePosition, fixed({0x0B})},
        {Op::DisplayClear, fixed({0x0C})},
        {Op::CarriageReturn, fixed({0x0D})},
        {Op::CursorUnderline, fixed({0x13})},
        {Op::CursorOff, fixed({0x14})},
        {Op::CursorBlock, fixed({0x15})},
        {Op::CursorUnderlineBlink, fixed({0x16})},
        {Op::OverWriteMode, fixed({0x1F, 0x01})},
        {Op::VerticalScrollMode, fixed({0x1F, 0x02})},
        {Op::HorizontalScrollMode, fixed({0x1F, 0x03})},
        {Op::CursorSet, fixedThen({0x1F, 0x24}, {any(), is(0), any(), is(0)})},
        {Op::Brightness, fixedThen({0x1F, 0x58}, {range(1, 16)})},
        {Op::HorizontalScrollSpeed, fixedThen({0x1F, 0x73}, {range(0, 31)})},
        {Op::Initialize, fixed({0x1B, 0x40})},
        {Op::BlinkOn, fixed({0x1B, 0x42})},
        {Op::BlinkOff, fixed({0x1B, 0x41})},
        {Op::UnderlineOn, fixed({0x1B, 0x55})},
        {Op::UnderlineOff, fixed({0x1B, 0x57})},
        {Op::QuickWriteMode, fixed({0x1B, 0x45})},
        {Op::FlickerlessMode, fixed({0x1B, 0x53})},
        {Op::InternationalFont, fixedThen({0x1B, 0x52}, {range(0, 13)})},
        {Op::CodeType, fixedThen({0x1B, 0x74}, {range(0, 5) | range(16, 19) | is(0xFF)})},
        {Op::BlinkSpeed, fixedThen({0x1B, 0x54}, {any()})},
        {Op::UserFontSelect, fixedThen({0x1B, 0x25}, {range(0, 1)})},
        {Op::UserFontDefine, fixedThen({0x1B, 0x26}, {is(1), userCode, userCode})},
        {Op::UserFontDelete, fixedThen({0x1B, 0x3F}, {is(1), userCode})},
        {Op::InsertCharacter, fixed({0x1B, 0x58, 0xF3})},
        {Op::DeleteCharacter, fixed({0x1B, 0x58, 0xF4})},
        {Op::InsertLine, fixed({0x1B, 0x58, 0xF5})},
        {Op::DeleteLine, fixed({0x1B, 0x58, 0xF6})},
        {Op::Reset, fixed({0x1B, 0x58, 0xFF})},
        {Op::DescenderDisplay, fixedThen({0x1F, 0x28, 0x67, 0x04}, {range(0x80, 0x81)})},
        {Op::SpecialFont, fixedThen({0x1F, 0x28, 0x67, 0x06}, {range(0, 1)})},
        {Op::FontMagnification, fixedThen({0x1F, 0x28, 0x67, 0x40}, {range(1, 2), range(1, 2)})},
        {Op::CharacterBrightness, fixedThen({0x1F, 0x28, 0x67, 0x50}, {range(1, 8), is(0), is(0)})},
        {Op::WaitAction, fixedThen({0x1F, 0x28, 0x61, 0x01}, {any()})},
        {Op::BlinkAction,
         fixedThen({0x1F, 0x28, 0x61, 0x11}, {range(0, 2), range(1, 255), range(1, 255), any()})},
        {Op::Screensaver, fixedThen({0x1F, 0x28, 0x61, 0x40}, {range(0, 3)})},
        {Op::UserSetupStart, fixed({0x1F, 0x28, 0x65, 0x01, 0x49, 0x4E})},
        {Op::UserSetupEnd, fixed({0x1F, 0x28, 0x65, 0x02, 0x4F, 0x55, 0x54})},
        {Op::SetupStatusDisplay,
         fixedThen({0x1F, 0x28, 0x65, 0x41}, {is(0x02) | is(0x20) | is(0x21)})},
        {Op::SerialOutStart, fixed({0x1F, 0x28, 0x65, 0x83, 0x49, 0x4E})},
        {Op::SerialOutEnd, fixed({0x1F, 0x28, 0x65, 0x84, 0x4F, 0x55, 0x54})},
        {Op::ReadFirmwareVersion, fixed({0x1F, 0x28, 0x65, 0x40, 0x02})},
        {Op::ReadChecksum, fixedThen({0x1F, 0x28, 0x65, 0x40, 0x20}, {any(), any(), any(), any()})},
        {Op::ReadProductType, fixed({0x1F, 0x28, 0x65, 0x40, 0x30})},
        {Op::ReadUserFont, fixedThen({0x1F, 0x28, 0x65, 0x40, 0x80}, {any()})},
    };
    return table;
}

bool accepts(const Syntax &syntax, const QByteArray &sofar, quint8 byte)
{
    const qsizetype at = sofar.size();
    if (at >= syntax.rules.size() || !syntax.rules[at].test(byte))
        return false;
    // The end code of a define cannot come before its start code.
    if (syntax.op == ModuleOp::UserFontDefine && at == kDefineHeaderSize - 1)
        return byte >= quint8(sofar.at(at - 1));
    return true;
}

// The rows a first byte can begin, worked out once: most bytes are text, and
// testing every row for each of them was the decoder's main cost.
const QList<int> &startingWith(quint8 byte)
{
    static const std::array<QList<int>, 256> rows = [] {
        std::array<QList<int>, 256> byFirst;
        const QList<Syntax> &table = syntaxTable();
        for (int b = 0; b < 256; ++b) {
            for (int row = 0; row < table.size(); ++row) {
                if (accepts(table[row], {}, quint8(b)))
                    byFirst[size_t(b)].append(row);
            }
        }
        return byFirst;
    }();
    return rows[byte];
}

// A command's first byte without an allocation: text is one byte per
// command, and a command that goes on copies it when it appends.
QByteArray singleByte(quint8 byte)
{
    static const std::array<char, 256> bytes = [] {
        std::array<char, 256> all{};
        for (int b = 0; b < 256; ++b)
            all[size_t(b)] = char(b);
        return all;
    }();
    return QByteArray::fromRawData(&bytes[byte], 1);
}

} // namespace

void CommandDecoder::reset()
{
    // Assigned, not cleared: both may share their data (with a finished
    // command, with the table of first bytes), and clearing shared data
    // allocates a fresh buffer.
    m_bytes = {};
    m_candidates = {};
    m_inDefineBody = false;
    m_charactersLeft = 0;
    m_dataLeft = -1;
}

void CommandDecoder::feed(quint8 byte, QList<DecodedCommand> &done)
{
    if (m_inDefineBody) {
        feedDefineBody(byte, done);
        return;
    }
    if (m_bytes.isEmpty()) {
        start(byte, done);
        return;
    }
    const QList<Syntax> &table = syntaxTable();
    QList<int> still;
    for (int row : std::as_const(m_candidates)) {
        if (accepts(table[row], m_bytes, byte))
            still.append(row);
    }
    if (still.isEmpty()) {
        breakOff(byte, done);
        return;
    }
    m_bytes.append(char(byte));
    m_candidates = still;
    for (int row : std::as_const(still)) {
        if (table[row].rules.size() == m_bytes.size()) {
            complete(row, done);
            return;
        }
    }
}

void CommandDecoder::start(quint8 byte, QList<DecodedCommand> &done)
{
    const QList<Syntax> &table = syntaxTable();
    m_candidates = startingWith(byte);
    if (m_candidates.isEmpty()) {
        done.append({ModuleOp::NotUnderstood, singleByte(byte)});
        return;
    }
    m_bytes = singleByte(byte);
    for (int row : std::as_const(m_candidates)) {
        if (table[row].rules.size() == 1) {
            complete(row, done);
            return;
        }
    }
}

void CommandDecoder::complete(int row, QList<DecodedCommand> &done)
{
    const ModuleOp op = syntaxTable()[row].op;
    if (op == ModuleOp::UserFontDefine) {
        m_inDefineBody = true;
        m_charactersLeft = quint8(m_bytes.at(4)) - quint8(m_bytes.at(3)) + 1;
        m_dataLeft = -1;
        return;
    }
    done.append({op, m_bytes});
    reset();
}

void CommandDecoder::feedDefineBody(quint8 byte, QList<DecodedCommand> &done)
{
    if (m_dataLeft < 0) {
        if (byte < 1 || byte > kMaxPatternBytes) {
            breakOff(byte, done);
            return;
        }
        m_dataLeft = byte;
        m_bytes.append(char(byte));
        return;
    }
    m_bytes.append(char(byte));
    if (--m_dataLeft > 0)
        return;
    m_dataLeft = -1;
    if (--m_charactersLeft > 0)
        return;
    done.append({ModuleOp::UserFontDefine, m_bytes});
    reset();
}

void CommandDecoder::breakOff(quint8 byte, QList<DecodedCommand> &done)
{
    const QList<Syntax> &table = syntaxTable();
    ModuleOp begun = ModuleOp::NotUnderstood;
    if (m_inDefineBody)
        begun = ModuleOp::UserFontDefine;
    else if (m_candidates.size() == 1 && m_bytes.size() > 1)
        begun = table[m_candidates.first()].op;
    done.append({ModuleOp::NotUnderstood, m_bytes, begun});
    reset();
    start(byte, done);
}
