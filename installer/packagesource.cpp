#include "packagesource.h"

#include "fileops.h"
#include "onefile.h"
#include "paths.h"

namespace vpak {

using vesk::Status;

namespace {

void removeFolder(const std::string &folder)
{
    std::error_code ec;
    vesk::removeTree(folder, ec);
}

std::string fileName(const std::string &path)
{
    return vesk::fsPath(path).filename().u8string();
}

} // namespace

std::string checkingText(const std::string &programFile)
{
    return "Checking " + fileName(programFile);
}

vesk::Result<PackageSource> PackageSource::open(const std::string &programFile,
                                                const std::optional<std::string> &plainDirectory,
                                                vesk::Progress &progress)
{
    // Damage is told in one message naming the file; any other failure
    // (a folder that cannot be made, a full disk) as it is.
    const auto refused = [&programFile](const Status &why) {
        return Status::failure(why.code(), why.code() == vesk::ErrorCode::BadFormat
                                               ? damagedMessage(fileName(programFile), why.error())
                                               : vesk::sentence(why.error()));
    };
    const vesk::Result<std::optional<vesk::OneFileIndex>> index = vesk::readOneFileIndex(programFile);
    if (!index)
        return refused(index.status());
    if (!*index) {
        if (plainDirectory)
            return PackageSource(*plainDirectory, false);
        return Status::failure(vesk::ErrorCode::BadFormat,
                               fileName(programFile) + " is not a theme package made into one file.");
    }
    const vesk::Result<std::string> folder = vesk::makePrivateFolder("vpak");
    if (!folder)
        return refused(folder.status());
    const Status unpacked = vesk::extractOneFile(programFile, **index, *folder, progress);
    if (!unpacked.ok()) {
        removeFolder(*folder);
        return refused(unpacked);
    }
    return PackageSource(*folder, true);
}

PackageSource::PackageSource(PackageSource &&other) noexcept
    : m_directory(std::move(other.m_directory)), m_unpacked(other.m_unpacked)
{
    other.m_unpacked = false;
}

PackageSource::~PackageSource()
{
    if (m_unpacked)
        removeFolder(m_directory);
}

} // namespace vpak
