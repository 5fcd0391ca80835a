#pragma once
// The text shown for an errno value. The users read Chinese whatever language the system is
// set to, so the errors that files, folders, devices and the serial port meet read in Chinese
// ("没有那个文件或目录" for ENOENT); any other value gets the system's own text. Thread-safe
// (strerror is not: it may share one buffer between threads), so the serial worker and the
// user-interface thread can both use it.

#include <string>

namespace tessera {

// "没有那个文件或目录" for ENOENT; the system's text for a value without a Chinese one, and
// "未知的错误 N" for a value the system does not know either.
std::string errorText(int errnum);

} // namespace tessera
