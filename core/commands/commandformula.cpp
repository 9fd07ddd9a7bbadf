#include "core/commands/commandformula.h"

#include "core/base/hexdigits.h"
#include "core/transport/commandtext.h"

#include <algorithm>
#include <cmath>

namespace CommandFormula {

namespace {

constexpr double kBlinkStepSeconds = 0.0135;
constexpr double kWaitStepSeconds = 0.5;

QString withoutTrailingZeros(QString s)
{
    if (!s.contains(QLatin1Char('.')))
        return s;
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

} // namespace

QString decimal(double x)
{
    // Fifteen significant digits hide the binary error of products such as
    // 3 * 0.0135 (0.040499999999999994).
    QString general = QString::number(x, 'g', 15);
    if (!general.contains(QLatin1Char('e')))
        return general;
    // Titles never show an exponent: write the same digits out in full.
    const int magnitude = x == 0 ? 0 : int(std::floor(std::log10(std::fabs(x))));
    return withoutTrailingZeros(QString::number(x, 'f', std::max(0, 14 - magnitude)));
}

QStringList fontCodeItems()
{
    QStringList items;
    for (int code = kFirstFontCode; code <= kLastFontCode; ++code)
        items << hex2(code) + QLatin1Char('h');
    return items;
}

qint16 readHexCode(QStringView text)
{
    quint16 value = 0;
    for (const QChar c : text) {
        const int digit = hexDigitValue(c.unicode());
        if (digit < 0)
            break;
        value = quint16(value * 16 + digit);
    }
    return qint16(value);
}

QString textEntryHelp(QStringView text)
{
    // Four characters for each character or "&hh" code, written into place:
    // the largest text makes half a million, and the window waits for them.
    QString help(text.size() * 4, Qt::Uninitialized);
    char16_t *const start = reinterpret_cast<char16_t *>(help.data());
    char16_t *to = start;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'&' && i + 3 < text.size() &&
            CommandText::isHexLiteral(text.sliced(i, 4))) {
            to = std::copy_n(text.utf16() + i, 4, to);
            i += 4;
        } else {
            // A character outside the 16-bit range is two code units but
            // goes out as one byte ("?"): one group, never split.
            const qsizetype length =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                    ? 2
                    : 1;
            *to++ = u' ';
            *to++ = u' ';
            to = std::copy_n(text.utf16() + i, length, to);
            *to++ = u' ';
            i += length;
        }
    }
    help.truncate(to - start);
    return help;
}

Command textEntry(const QString &text)
{
    return {text, QStringLiteral("CharacterDisplay text=") + text, textEntryHelp(text),
            Command::Notation::TextEntry};
}

EntryText withoutLineBreaks(QStringView text, int caret)
{
    EntryText result;
    result.caret = caret;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // Only breaks before the caret move it; one after it leaves it in place.
            if (i < caret)
                --result.caret;
            continue;
        }
        result.text += c;
    }
    result.caret = std::clamp(result.caret, 0, int(result.text.size()));
    return result;
}

FontData fontData(const FontDots &dots)
{
    FontData data{};
    for (int e = 0; e < kFontDots; ++e) {
        if (dots.test(size_t(e)))
            data[size_t(e / 8)] |= quint8(1u << (e % 8));
    }
    return data;
}

Command fontDefine(int code, const FontData &data)
{
    // Start code and end code are the same: one character per definition.
    QString text = "\\x1b\\x26\\x01\\x" + hex2(code) + "\\x" + hex2(code) + "\\x05";
    for (const quint8 byte : data)
        text += "\\x" + hex2(byte);
    return {text,
            "Define RAM User Font startCode=" + hex2(code) + " endCode=" + hex2(code) + " fontData",
            QStringLiteral("---OpCode--- c1  c2  (c1:StartCode c2:EndCode "
                           "&h20<=c1<=c2<=&hff)(d:BmpData)")};
}

Command fontDelete(int code)
{
    return {"\\x1b\\x3f\\x01\\x" + hex2(code), "Delete RAM User Font code=" + hex2(code),
            QStringLiteral("-OpCode-  a   c  (a=1, c:code to delete &h20<=c<=&hff)")};
}

Command blink(int t1, int t2, int count, const QString &countText)
{
    // Pattern byte 01: the display is blanked, not inverted. The module's own
    // names: t1 is reported as the event time, t2 as the normal time.
    return {"\\x1f\\x28\\x61\\x11\\x01\\x" + hex2(t1) + "\\x" + hex2(t2) + "\\x" + hex2(count),
            "BlinkAction pattern=Blank eventTime=" + decimal(t1) + "(" +
                decimal(t1 * kBlinkStepSeconds) + "msec)  normalTime=" + decimal(t2) + "(" +
                decimal(t2 * kBlinkStepSeconds) + "msec)  repetition=" + countText,
            QStringLiteral("-----OpCode-----  p  t1  t2   c  (p:Pattern 1-Blank)"
                           "(t1:NormalTime 1<=t1<=255)(t2:EventTime 1<=t2<=255)"
                           "(c:Repetition 0<=c<=255)")};
}

Command wait(int v)
{
    return {"\\x1f\\x28\\x61\\x01\\x" + hex2(v),
            "WaitAction : " + decimal(v) + "X 0.5sec=" + decimal(v * kWaitStepSeconds) + "sec",
            QStringLiteral("-----OpCode-----  t  (t:Time 0<=t<=255)")};
}

QString waitLabel(int v)
{
    return QLatin1Char(' ') + QString::number(v);
}

} // namespace CommandFormula
