#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Stops the run so that libFuzzer keeps the input: a broken property is a
// finding as much as a crash is.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            __builtin_trap();                                                                      \
    } while (false)

// Window text from fuzz bytes. Seeds are plain UTF-8 files; a first byte FEh
// makes the rest raw UTF-16 instead, which reaches what UTF-8 never decodes
// to (lone surrogates, U+FFFE).
inline QString fuzzText(const uint8_t *data, size_t size)
{
    if (size > 0 && data[0] == 0xFE) {
        return QString(reinterpret_cast<const QChar *>(data + 1), qsizetype((size - 1) / 2));
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}
