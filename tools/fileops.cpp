#include "fileops.h"

#include "files.h"

namespace vesk {

bool isFolder(const std::string &path)
{
    std::error_code ec;
    return fileStatus(path, ec).kind == EntryKind::Folder;
}

bool isFile(const std::string &path)
{
    std::error_code ec;
    return fileStatus(path, ec).kind == EntryKind::File;
}

Status makeFolderIn(const std::string &parent, const std::string &name)
{
    const std::string folder = joinPath(parent, name);
    std::error_code ec;
    // A folder that is there already is what was asked for.
    if (makeDirectory(folder, ec) || isFolder(folder))
        return Status::success();
    if (!ec)
        ec = std::make_error_code(std::errc::file_exists);
    return Status::failure(codeOf(ec), "cannot make the folder " + shownPath(parent, name) + ": " + reasonText(ec));
}

} // namespace vesk
