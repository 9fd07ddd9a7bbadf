#pragma once

#include "core/base/result.h"

#include <QString>

// The user's text of a failed result, empty for success: compared with
// QString(), a failure shows its message.
template<typename T> QString errorText(const Result<T> &result)
{
    return result ? QString() : result.error().text;
}
