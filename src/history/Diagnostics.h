#pragma once

#include <QString>

#include <exception>

namespace tavlin {

// The one conversion of any error into the text a window shows. It also writes the error's
// technical facts (type, domain, code, reason) to the error log, so windows never show them.
struct Diagnostics {
    static QString userMessage(const std::exception& error);
};

} // namespace tavlin
