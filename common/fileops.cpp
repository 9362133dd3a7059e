#include "fileops.h"

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

} // namespace vesk
