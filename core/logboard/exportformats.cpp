#include "core/logboard/exportformats.h"

#include "core/files/atomicsave.h"
#include "core/files/encodedwriter.h"
#include "core/logboard/hexexport.h"
#include "core/logboard/prtline.h"
#include "core/logboard/sourceexport.h"

namespace LogBoardExport {

namespace {

constexpr FormatInfo kFormats[] = {
    {Format::Text, u"Text Files (*.txt)", u".txt"},
    {Format::PlayerData, u"K500seiData (*.sei)", u".sei"},
    {Format::IntelHex, u"Intel Hex File (*.hex)", u".hex"},
    {Format::Assembler, u"Assembler Source (*.asm)", u".asm"},
    {Format::C, u"C code (*.c)", u".c"},
};

} // namespace

std::span<const FormatInfo> formats()
{
    return kFormats;
}

const FormatInfo &info(Format format)
{
    for (const FormatInfo &f : kFormats) {
        if (f.format == format)
            return f;
    }
    Q_UNREACHABLE();
}

QStringList dialogFilters()
{
    QStringList filters;
    for (const FormatInfo &f : kFormats)
        filters << f.label.toString();
    return filters;
}

Prompt::FileRequest saveAsRequest()
{
    Prompt::FileRequest request;
    request.title = QStringLiteral("Save to file");
    request.filters = dialogFilters();
    request.selectedFilter = 0;
    request.confirmOverwrite = true;
    return request;
}

std::optional<Format> formatFromName(QStringView name)
{
    for (const FormatInfo &f : kFormats) {
        if (f.extension.sliced(1) == name)
            return f.format;
    }
    return std::nullopt;
}

QString formatName(Format format)
{
    return info(format).extension.sliced(1).toString();
}

QString resolvePath(const QString &chosen, Format format)
{
    const QStringView extension = info(format).extension;
    if (chosen.endsWith(extension, Qt::CaseInsensitive))
        return chosen;
    return chosen + extension.toString();
}

bool keepsCurrentFile(Format format)
{
    return format == Format::Text || format == Format::PlayerData;
}

Result<void> write(QIODevice &out, Format format, QStringView text, const QString &path,
                   const CodePage &codePage)
{
    // The types that turn the text into bytes refuse what PLAY refuses; text
    // and player data are the text itself, which may be saved whatever it holds.
    if (format != Format::Text && format != Format::PlayerData) {
        if (Result<void> bytes = PrtLine::checkBytes(text, PrtLine::Refused::NothingWritten);
            !bytes)
            return bytes;
    }
    EncodedWriter writer(out, codePage);
    switch (format) {
    case Format::Text:
    case Format::PlayerData:
        writer.write(text);
        break;
    case Format::IntelHex:
        if (Result<void> content = HexExport::writeContent(writer, text); !content)
            return content;
        break;
    case Format::Assembler:
        SourceExport::writeAssembler(writer, text);
        break;
    case Format::C:
        SourceExport::writeC(writer, text, SourceExport::cName(path));
        break;
    }
    writer.write(u"\r\n");
    return writer.finish();
}

Result<void> save(const QString &path, Format format, const QString &text, const CodePage &codePage)
{
    return saveAtomically(path,
                          [&](QIODevice &out) { return write(out, format, text, path, codePage); });
}

} // namespace LogBoardExport
