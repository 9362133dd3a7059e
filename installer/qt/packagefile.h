#pragma once

#include "packagesource.h"

#include <optional>
#include <string>

namespace platform {
class Dialogs;
}

// A one-file package given to the installer, checked through and unpacked
// with its progress shown; what is wrong with it is said once the progress
// window has gone, and nothing comes back then (nor after a cancel).
std::optional<vpak::PackageSource> openPackageFile(const std::string &file, platform::Dialogs &dialogs);
