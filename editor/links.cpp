#include "links.h"

#include "files.h"
#include "maker.h"

namespace vesk {

std::vector<std::string> linksFileLines(const std::vector<Link> &links, const std::string &quote)
{
    auto line = [&quote](const std::string &name, const std::string &address) {
        return quote + name + quote + "," + quote + address + quote;
    };
    std::vector<std::string> lines;
    lines.reserve(links.size() + 1);
    lines.push_back(line(kMakerName, kMakerWebPage));
    for (const Link &link : links)
        lines.push_back(line(link.name, link.address));
    return lines;
}

Status writeLinksFile(const std::string &path, const std::vector<Link> &links, const std::string &quote,
                      const std::string &shownAs)
{
    return writeTextFile(path, linksFileLines(links, quote), shownAs);
}

} // namespace vesk
