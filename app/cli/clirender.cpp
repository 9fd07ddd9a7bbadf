#include "app/cli/clicommands.h"

#include "app/cli/clioptions.h"
#include "core/files/atomicsave.h"
#include "core/session/boardglass.h"
#include "core/logboard/crlflines.h"
#include "core/logboard/logboardfile.h"
#include "core/logboard/prtline.h"
#include "core/base/displaymodel.h"
#include "core/base/codepage.h"
#include "gui/glass/glasspaint.h"

#include <QCommandLineParser>
#include <QIODevice>

#include <limits>
#include <optional>

namespace CliCommands {
namespace {

using namespace CliOptions;

// "0 Panel-20A 2x20, 1 Panel-24B 4x24 (the default), ..."
QString modelChoices()
{
    QStringList models;
    for (int i = 0; i < DisplayModel::kModelCount; ++i) {
        models << QStringLiteral("%1 %2%3").arg(
            QString::number(i), QString::fromLatin1(DisplayModel::model(i).name),
            i == DisplayModel::kDefaultModel ? QStringLiteral(" (the default)") : QString());
    }
    return models.join(QStringLiteral(", "));
}

// A whole number from low to high, or nullopt.
std::optional<qsizetype> number(const QString &text, qsizetype low, qsizetype high)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return qsizetype(value);
}

struct RenderOptions
{
    QCommandLineOption model{QStringLiteral("model"),
                             QStringLiteral("The display model: ") + modelChoices() + u'.',
                             QStringLiteral("M"), QString::number(DisplayModel::kDefaultModel)};
    QCommandLineOption at{QStringLiteral("at"),
                          QStringLiteral("Draw the glass after line LINE (from 1, the lines "
                                         "counted as PLAY counts them) instead of after the "
                                         "last line."),
                          QStringLiteral("LINE")};
};

struct RenderChoice
{
    int model = DisplayModel::kDefaultModel;
    qsizetype lastLine = BoardGlass::kAllLines;
};

std::optional<RenderChoice> renderChoice(const QCommandLineParser &parser,
                                         const RenderOptions &options, QTextStream &err)
{
    RenderChoice choice;
    const std::optional<qsizetype> model =
        number(parser.value(options.model), 0, DisplayModel::kModelCount - 1);
    if (!model) {
        err << "zepta-cli: --model must be 0 to " << DisplayModel::kModelCount - 1 << ", not '"
            << shown(parser.value(options.model)) << "'." << Qt::endl;
        return std::nullopt;
    }
    choice.model = int(*model);
    if (parser.isSet(options.at)) {
        const std::optional<qsizetype> at =
            number(parser.value(options.at), 1, std::numeric_limits<qsizetype>::max());
        if (!at) {
            err << "zepta-cli: --at must be a line number from 1, not '"
                << shown(parser.value(options.at)) << "'." << Qt::endl;
            return std::nullopt;
        }
        choice.lastLine = *at;
    }
    return choice;
}

// Through a temporary file, so that a failed write leaves the file as it was.
bool writePng(const QString &path, const QImage &picture, QTextStream &err)
{
    const Result<void> saved = saveAtomically(path, [&](QIODevice &file) -> Result<void> {
        // A failed write is told by the save itself, with the system's reason.
        if (picture.save(&file, "PNG"))
            return {};
        return couldNotWrite(path, QStringLiteral("no PNG could be made"));
    });
    if (saved)
        return true;
    err << "zepta-cli: " << saved.error().text << Qt::endl;
    return false;
}

} // namespace

int render(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(parser, QStringLiteral("render"),
            QStringLiteral(
                "Plays the \"PRT\" lines of the Log Board file BOARD into the simulated module,\n"
                "with no port and no window, and writes its glass to OUT as a PNG picture,\n"
                "drawn as the \"Simulated display\" window draws it. The module reads every\n"
                "byte as soon as it can take it, so waits and slides are over when the\n"
                "picture is taken, and whatever blinks (characters, the cursor, a blink\n"
                "action) is drawn lit: a board always gives the same picture.\n"
                "A failed write leaves OUT as it was."));
    parser.addPositionalArgument(QStringLiteral("BOARD"), QStringLiteral("A Log Board file."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The PNG file to write."));
    const RenderOptions options;
    parser.addOptions({options.model, options.at});
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<QStringList> files =
        operands(parser, 2, QStringLiteral("BOARD and OUT"), err);
    if (!files)
        return kUsage;
    const std::optional<RenderChoice> choice = renderChoice(parser, options, err);
    if (!choice)
        return kUsage;

    const Result<QString> loaded = LogBoardFile::load(files->at(0), CodePage::forSystem());
    if (!loaded) {
        err << "zepta-cli: " << loaded.error().text << Qt::endl;
        return kFailed;
    }
    // As PLAY, the whole board is refused, also for a line after LINE.
    if (const Result<void> bytes = PrtLine::checkBytes(*loaded, PrtLine::Refused::NothingWritten);
        !bytes) {
        err << "zepta-cli: " << bytes.error().text << Qt::endl;
        return kUsage;
    }
    // A line that is not there would draw the glass of another line than asked for.
    if (const qsizetype lines = CrLfLines::count(*loaded); choice->lastLine > lines) {
        err << "zepta-cli: --at " << choice->lastLine << " is past the end of "
            << shown(files->at(0)) << ", whose last line is " << lines << "." << Qt::endl;
        return kUsage;
    }
    const GlassPicture glass = BoardGlass::render(*loaded, choice->model, choice->lastLine);
    return writePng(files->at(1), GlassPaint::image(glass), err) ? kOk : kFailed;
}

} // namespace CliCommands
