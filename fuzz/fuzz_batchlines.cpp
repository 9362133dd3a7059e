// Any target path: 1.bat gets a copy line and one del line per own file of
// the package, none split by the path, and
// the batch runner reads the very same path back out of each of them, as the
// command interpreter would (with the target handed over in the environment).
#include "installbatch.h"
#include "paths.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string pathIn(const std::string &line, const std::string &command)
{
    if (line.compare(0, command.size(), command) != 0)
        std::abort();
    return vpak::batchPath(line.substr(command.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string target(reinterpret_cast<const char *>(data), size);
    if (target.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        if (vpak::checkTarget(target, "/").ok())
            std::abort(); // a line break must never reach 1.bat
        return 0;
    }
    const auto lines = vpak::batchLines(target);
    if (lines.size() != 1 + vpak::kPackageOwnFiles.size() || !vpak::setBatchTarget(target).ok())
        std::abort();
    for (const std::string &line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    }
    if (pathIn(lines[0], "copy *.* ") != target)
        std::abort();
    for (size_t i = 1; i < lines.size(); ++i) {
        if (pathIn(lines[i], "del ") != vesk::joinPath(target, vpak::kPackageOwnFiles[i - 1]))
            std::abort();
    }
    return 0;
}
