#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes the file's whole content. Returns an empty string when it wrote
// everything, otherwise a message for the user (it may refuse, such as an
// export that cannot hold the data); the file is then left as it was.
using SaveWriter = std::function<QString(QIODevice &out)>;

// Saves through a temporary file beside the target that is renamed over it
// only once everything is written and flushed. On any failure the temporary
// file is removed, the previous file stays as it was, and the message for the
// user is returned ("Error: Could not write to file: " + path and the reason);
// an empty string means saved.
[[nodiscard]] QString saveAtomically(const QString &path, const SaveWriter &writer);

// "Error: Could not write to file: " + path, and the reason on a second line.
QString couldNotWriteMessage(const QString &path, const QString &reason);
