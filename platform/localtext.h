#pragma once

#include <QString>

#include <string>

#include "status.h"

namespace platform {

// Files and paths travel between the windows and the logic as 8-bit text in
// the system's local code page.
inline std::string toLocal(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

// For display only: a byte sequence that is no text of the code page shows as
// U+FFFD, so a displayed value must never be turned back into bytes.
inline QString fromLocal(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// A failure from the logic ("cannot read x: permission denied") as a sentence
// for a message box.
inline QString sentence(const std::string &text)
{
    return fromLocal(vesk::sentence(text));
}

} // namespace platform
