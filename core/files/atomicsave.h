#pragma once

#include "core/base/result.h"

#include <QString>

#include <functional>

class QIODevice;

// Writes the file's whole content. Its error (a refusal, such as an export
// that cannot hold the data) leaves the file as it was.
using SaveWriter = std::function<Result<void>(QIODevice &out)>;

// Saves through a temporary file beside the target that is renamed over it
// only once everything is written and flushed to the disk. A symbolic link is
// followed: the file it points to is replaced, and the link stays. On any
// failure the temporary file is removed, the previous file stays as it was,
// and the error tells the user ("Error: Could not write to file: " + path and
// the reason), or is the writer's own.
Result<void> saveAtomically(const QString &path, const SaveWriter &writer);

// The temporary files of saves cut short between writing and renaming (a
// kill, a power cut) have names no person would choose: the target's name
// (its first 64 characters), ".zepta-partial-" and twenty hex digits, the
// last eight a check of the others and the target's whole name. This removes,
// beside path (and beside the file a link at path leads to), the regular files
// whose name passes that check, and nothing else: a user's
// "Config_QV_demo.dat.backup" stays, and so does any name of another shape.
void removeLeftovers(const QString &path);

// A fresh temporary name beside path, as a save of path would use.
QString temporaryPathFor(const QString &path);

// "Error: Could not write to file: " + path, and the reason on a second line.
Error couldNotWrite(const QString &path, const QString &reason);
