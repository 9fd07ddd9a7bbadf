#include "app/cli/clicommands.h"

#include "app/cli/clioptions.h"
#include "core/files/atomicsave.h"
#include "core/logboard/boardglass.h"
#include "core/logboard/crlflines.h"
#include "core/logboard/logboardfile.h"
#include "core/logboard/prtline.h"
#include "core/session/displaymodel.h"
#include "core/transport/codepage.h"
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
    const QCommandLineOption modelOption(
        QStringLiteral("model"), QStringLiteral("The display model: ") + modelChoices() + u'.',
        QStringLiteral("M"), QString::number(DisplayModel::kDefaultModel));
    const QCommandLineOption atOption(
        QStringLiteral("at"),
        QStringLiteral("Draw the glass after line LINE (from 1, the lines counted as PLAY "
                       "counts them) instead of after the last line."),
        QStringLiteral("LINE"));
    parser.addOptions({modelOption, atOption});
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<QStringList> files =
        operands(parser, 2, QStringLiteral("BOARD and OUT"), err);
    if (!files)
        return kUsage;
    const std::optional<qsizetype> model =
        number(parser.value(modelOption), 0, DisplayModel::kModelCount - 1);
    if (!model) {
        err << "zepta-cli: --model must be 0 to " << DisplayModel::kModelCount - 1 << ", not '"
            << shown(parser.value(modelOption)) << "'." << Qt::endl;
        return kUsage;
    }
    std::optional<qsizetype> at = BoardGlass::kAllLines;
    if (parser.isSet(atOption)) {
        at = number(parser.value(atOption), 1, std::numeric_limits<qsizetype>::max());
        if (!at) {
            err << "zepta-cli: --at must be a line number from 1, not '"
                << shown(parser.value(atOption)) << "'." << Qt::endl;
            return kUsage;
        }
    }

    const LogBoardFile::Loaded loaded = LogBoardFile::load(files->at(0), CodePage::forSystem());
    if (!loaded.ok()) {
        err << "zepta-cli: " << loaded.error << Qt::endl;
        return kFailed;
    }
    // As PLAY, the whole board is refused, also for a line after LINE.
    const QString refusal = PrtLine::notAByteRefusal(loaded.text, PrtLine::Refused::NothingWritten);
    if (!refusal.isEmpty()) {
        err << "zepta-cli: " << refusal << Qt::endl;
        return kUsage;
    }
    // A line that is not there would draw the glass of another line than asked for.
    if (const qsizetype lines = CrLfLines::count(loaded.text); *at > lines) {
        err << "zepta-cli: --at " << *at << " is past the end of " << shown(files->at(0))
            << ", whose last line is " << lines << "." << Qt::endl;
        return kUsage;
    }

    const QImage picture = GlassPaint::image(BoardGlass::render(loaded.text, int(*model), *at));
    const QString &path = files->at(1);
    const QString failure = saveAtomically(path, [&](QIODevice &file) {
        // A failed write is told by the save itself, with the system's reason.
        return picture.save(&file, "PNG")
                   ? QString()
                   : couldNotWriteMessage(path, QStringLiteral("no PNG could be made"));
    });
    if (!failure.isEmpty()) {
        err << "zepta-cli: " << failure << Qt::endl;
        return kFailed;
    }
    return kOk;
}

} // namespace CliCommands
