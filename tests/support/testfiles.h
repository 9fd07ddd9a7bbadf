#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A whole file as bytes, or "<missing>" when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes the file whole; false when any byte did not land.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The user's text of a failed result, empty for success: compared with
// QString(), a failure shows its message.
template<typename T> QString errorText(const Result<T> &result)
{
    return result ? QString() : result.error().text;
}
