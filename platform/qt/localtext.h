#pragma once

#include <QString>

#include <string>

#include "displaytext.h"
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

// For display only: a value read from theme.cfg or a project, which older
// files hold in the Windows code page (see vesk::displayText).
inline QString fromText(const std::string &value)
{
    const std::string shown = vesk::displayText(value);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

// A failure from the logic ("cannot read x: permission denied") as a sentence
// for a message box.
inline QString sentence(const std::string &text)
{
    return fromLocal(vesk::sentence(text));
}

} // namespace platform
