#pragma once

#include "packagesums.h"
#include "progress.h"
#include "status.h"

#include <optional>
#include <string>

namespace vpak {

// Where the installer finds the package it shows: the folder it lies in, or,
// started as a one-file package, a private folder the payload is unpacked
// into. That folder is removed when the source ends, whichever way the
// installer ends; the install (which waits for its batch) has finished by then.
class PackageSource
{
public:
    // The package of the program `programFile`: its payload checked through
    // and unpacked, or, for a plain installer, `plainDirectory` (nothing
    // there when the file must be a one-file package). The failure is the
    // one message to show: "Ocean.exe is damaged (REASON). Ask for the
    // package again.", or a cancel (ErrorCode::Cancelled).
    static vesk::Result<PackageSource> open(const std::string &programFile,
                                            const std::optional<std::string> &plainDirectory, vesk::Progress &progress);
    ~PackageSource();
    PackageSource(PackageSource &&other) noexcept;
    PackageSource &operator=(PackageSource &&) = delete;
    PackageSource(const PackageSource &) = delete;
    PackageSource &operator=(const PackageSource &) = delete;

    const std::string &directory() const { return m_directory; }
    bool unpacked() const { return m_unpacked; }

private:
    PackageSource(std::string directory, bool unpacked) : m_directory(std::move(directory)), m_unpacked(unpacked) {}
    std::string m_directory;
    bool m_unpacked = false;
};

// What the checking window says of a one-file package until it names a
// file: "Checking Ocean.exe".
std::string checkingText(const std::string &programFile);

using vesk::damagedMessage;

} // namespace vpak
