#pragma once

#include <QtGlobal>

#include <cerrno>

// The error numbers the port layer reports for failures it finds itself, in
// the numbering of the platform it runs on, so they read like the system's own.
namespace SystemErrors {
#ifdef Q_OS_WIN
inline constexpr int kNotFound = 2;     // ERROR_FILE_NOT_FOUND
inline constexpr int kAccessDenied = 5; // ERROR_ACCESS_DENIED
inline constexpr int kInUse = 5;        // a port in use answers "access denied"
inline constexpr int kBadHandle = 6;    // ERROR_INVALID_HANDLE
inline constexpr int kInvalid = 87;     // ERROR_INVALID_PARAMETER
inline constexpr int kIoFailure = 1117; // ERROR_IO_DEVICE
inline constexpr int kGone = 1167;      // ERROR_DEVICE_NOT_CONNECTED
inline constexpr int kTimedOut = 1460;  // ERROR_TIMEOUT
#else
inline constexpr int kNotFound = ENOENT;
inline constexpr int kAccessDenied = EACCES;
inline constexpr int kInUse = EBUSY;
inline constexpr int kBadHandle = EBADF;
inline constexpr int kInvalid = EINVAL;
inline constexpr int kIoFailure = EIO;
inline constexpr int kGone = EIO;
inline constexpr int kTimedOut = ETIMEDOUT;
#endif
} // namespace SystemErrors
