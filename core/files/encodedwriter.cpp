#include "core/files/encodedwriter.h"

#include <QIODevice>

Error writeFailure(const QIODevice &device)
{
    const QString reason = device.errorString();
    return {Error::Kind::FileWrite, 0,
            reason.isEmpty() ? QStringLiteral("The data could not be written.") : reason};
}

EncodedWriter::EncodedWriter(QIODevice &out, const CodePage &codePage)
    : m_out(out)
    , m_codePage(codePage)
{
    // No reserve: most exports are a few lines, and the block grows to its
    // size only once for the large ones.
}

void EncodedWriter::write(QStringView text)
{
    while (!text.isEmpty() && !failed()) {
        const qsizetype room = qMax<qsizetype>(1, kBlock - m_pending.size());
        const qsizetype n = qMin(room, text.size());
        m_pending.append(text.first(n));
        text = text.sliced(n);
        if (m_pending.size() >= kBlock)
            writePending(false);
    }
}

Result<void> EncodedWriter::finish()
{
    writePending(true);
    return m_result;
}

void EncodedWriter::writePending(bool all)
{
    if (failed()) {
        m_pending.clear();
        return;
    }
    qsizetype n = m_pending.size();
    // A surrogate pair is one character to the code page: keep a trailing
    // high half back until its partner arrives.
    if (!all && n > 0 && m_pending[n - 1].isHighSurrogate())
        --n;
    const QByteArray bytes = m_codePage.fromUnicode(QStringView(m_pending).first(n));
    if (m_out.write(bytes) != bytes.size())
        m_result = writeFailure(m_out);
    m_pending.remove(0, n);
}
