#include "core/module/commanddecoder.h"

#include "core/module/commandtable.h"

#include <array>

namespace {

// The user font define header: 1B 26 a c1 c2, then per character a count byte
// and that many pattern bytes (decoded separately, its length depends on c1 and c2).
constexpr int kDefineHeaderSize = 5;
constexpr int kMaxPatternBytes = 5; // 5 x 8 dots

bool accepts(const CommandSyntax &syntax, const QByteArray &sofar, quint8 byte)
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
        const QList<CommandSyntax> &table = commandTable();
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
    const QList<CommandSyntax> &table = commandTable();
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
    const QList<CommandSyntax> &table = commandTable();
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
    const ModuleOp op = commandTable()[row].op;
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
    const QList<CommandSyntax> &table = commandTable();
    ModuleOp begun = ModuleOp::NotUnderstood;
    if (m_inDefineBody)
        begun = ModuleOp::UserFontDefine;
    else if (m_candidates.size() == 1 && m_bytes.size() > 1)
        begun = table[m_candidates.first()].op;
    done.append({ModuleOp::NotUnderstood, m_bytes, begun});
    reset();
    start(byte, done);
}
