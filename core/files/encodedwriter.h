#pragma once

#include "core/base/codepage.h"
#include "core/base/result.h"

#include <QString>
#include <QStringView>

class QIODevice;

// A failed write to device, with the device's reason (never empty).
Error writeFailure(const QIODevice &device);

// Writes window text to a device in the code page, a block at a time, so that
// a large export costs one block of memory and few device calls. After a
// failed write it writes nothing more.
class EncodedWriter
{
public:
    EncodedWriter(QIODevice &out, const CodePage &codePage);

    void write(QStringView text);
    void write(QChar c) { write(QStringView(&c, 1)); }

    // Writes what is pending; the device's reason when anything was not written.
    Result<void> finish();
    bool failed() const { return !m_result.ok(); }

private:
    static constexpr qsizetype kBlock = 64 * 1024; // characters

    void writePending(bool all);

    QIODevice &m_out;
    const CodePage &m_codePage;
    QString m_pending;
    Result<void> m_result;
};
