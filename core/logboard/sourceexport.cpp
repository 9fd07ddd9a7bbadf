#include "core/logboard/sourceexport.h"

#include "core/files/encodedwriter.h"
#include "core/logboard/crlflines.h"
#include "core/logboard/prtline.h"

#include <algorithm>

namespace SourceExport {

namespace {

constexpr QStringView kCrLf = u"\r\n";

// Each line of the C header is followed by CR LF; the product and texts are
// Zepta's own.
constexpr QStringView kCHeader[] = {
    u"/**",
    u"*** Zepta VFD module tool: Log Board export",
    u"***",
    u"*** Generated data: free to use, copy and change without restriction.",
    u"*** Documentation: man zepta-cli",
    u"**/",
    u"",
};

// Walks the lines and hands each comment (with whether a comment line came
// right before it) and each data line to the format; other lines only reset
// that flag.
template<typename Comment, typename Data>
void walk(QStringView text, Comment &&onComment, Data &&onData)
{
    bool afterComment = false;
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    while (lines.next(&line, &offset)) {
        switch (PrtLine::exportLineKind(line)) {
        case PrtLine::ExportRead::Comment:
            onComment(PrtLine::commentText(line), afterComment);
            afterComment = true;
            break;
        case PrtLine::ExportRead::Data:
            afterComment = false;
            onData(line);
            break;
        case PrtLine::ExportRead::Other:
            afterComment = false;
            break;
        }
    }
}

// Items joined by ", " as the exports write them. A data line without tokens
// ("PRT;") gives none and writes no line: an empty ".db" does not assemble,
// and a lone "," in the array does not compile.
template<typename Item> QString joinTokens(QStringView line, Item &&item)
{
    QString joined;
    PrtLine::forEachExportToken(line, [&](QStringView token) {
        if (!joined.isEmpty())
            joined += u", ";
        item(joined, token);
    });
    return joined;
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The whole C comment for a comment text: "/***" text "**/", where a blank
// parts every "*" "/" and "/" "*" that meet (the stars around the text
// included), so that nothing ends the comment early or opens another; and a
// line break becomes a blank, so that no backslash (or "??/") before it can
// join two lines into a "*/".
QString cComment(QStringView comment)
{
    QString whole = QStringLiteral("***");
    whole += comment;
    whole += u"**";
    QString body;
    body.reserve(whole.size() + 8);
    for (QChar c : std::as_const(whole)) {
        if (isLineBreak(c))
            c = u' ';
        if (!body.isEmpty() &&
            ((body.back() == u'*' && c == u'/') || (body.back() == u'/' && c == u'*')))
            body += u' ';
        body += c;
    }
    // The body starts and ends with a star: the outer "/" open and close it.
    return u'/' + body + u'/';
}

bool isIdentifierChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'_';
}

} // namespace

void writeAssembler(EncodedWriter &out, QStringView text)
{
    // A comment line is left open (its CR LF comes before the next comment),
    // so a data line right after it would land inside the comment and its
    // bytes would never be assembled: such a line starts on a line of its own.
    bool commentOpen = false;
    walk(
        text,
        [&](QStringView comment, bool afterComment) {
            out.write(kCrLf);
            out.write(u";***");
            // A line break would end the comment and make the rest code.
            if (std::any_of(comment.cbegin(), comment.cend(), isLineBreak))
                out.write(comment.toString().replace(u'\r', u' ').replace(u'\n', u' '));
            else
                out.write(comment);
            if (afterComment)
                out.write(kCrLf);
            commentOpen = !afterComment;
        },
        [&](QStringView line) {
            const QString items = joinTokens(line, [](QString &s, QStringView token) {
                s += u'$';
                s += token;
            });
            if (items.isEmpty())
                return;
            if (std::exchange(commentOpen, false))
                out.write(kCrLf);
            out.write(u" .db ");
            out.write(items);
            out.write(kCrLf);
        });
}

void writeC(EncodedWriter &out, QStringView text, QStringView name)
{
    for (const QStringView line : kCHeader) {
        out.write(line);
        out.write(kCrLf);
    }
    const QString count = QString::number(PrtLine::exportByteCount(text));
    out.write(QStringLiteral("const long  _%1_leng =  %2;\r\n\r\n\r\n").arg(name, count));
    out.write(QStringLiteral("const unsigned char  _%1_code[%2] =\r\n{\r\n").arg(name, count));
    walk(
        text,
        [&](QStringView comment, bool afterComment) {
            out.write(kCrLf);
            out.write(cComment(comment));
            out.write(kCrLf);
            if (afterComment)
                out.write(kCrLf);
        },
        [&](QStringView line) {
            const QString items = joinTokens(line, [](QString &s, QStringView token) {
                s += u" 0x";
                s += token;
            });
            if (items.isEmpty())
                return;
            // Five blanks, then " 0x" before each item: six before the first.
            out.write(u"     ");
            out.write(items);
            out.write(u",\r\n");
        });
    out.write(u"       };\r\n");
}

QString cName(QStringView path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    QStringView base = path.sliced(slash + 1);
    if (const qsizetype dot = base.lastIndexOf(u'.'); dot >= 0)
        base = base.first(dot);
    QString name = base.toString();
    for (QChar &c : name) {
        if (!isIdentifierChar(c))
            c = u'_';
    }
    return name;
}

} // namespace SourceExport
