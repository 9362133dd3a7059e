#include "packagesums.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "texttools.h"
#include "themefiles.h"

#include <filesystem>

namespace vesk {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string sumsText(const std::vector<FileSum> &sums)
{
    std::string text;
    for (const FileSum &sum : sums)
        text += hexDigits(sum.digest) + "  " + sum.name + "\n";
    return text;
}

Result<std::vector<FileSum>> parseSums(std::string_view text)
{
    std::vector<FileSum> sums;
    int number = 0;
    for (const std::string_view line : textLines(text)) {
        ++number;
        if (line.empty())
            continue;
        const auto bad = [number](const std::string &why) {
            return Status::failure(ErrorCode::BadFormat,
                                   std::string(kSumsFile) + " line " + std::to_string(number) + " " + why);
        };
        FileSum sum;
        bool digits = line.size() > 66;
        for (size_t k = 0; digits && k < 32; ++k) {
            const int high = hexValue(line[2 * k]), low = hexValue(line[2 * k + 1]);
            digits = high >= 0 && low >= 0;
            if (digits)
                sum.digest[k] = static_cast<unsigned char>(high << 4 | low);
        }
        if (!digits || line[64] != ' ' || (line[65] != ' ' && line[65] != '*'))
            return bad("is no checksum line");
        sum.name = std::string(line.substr(66));
        if (!isPlainName(sum.name))
            return bad("names " + sum.name + ", which is no file of the package");
        sums.push_back(std::move(sum));
    }
    return sums;
}

Status checkPackageSums(const std::string &packageDirectory, Progress &progress)
{
    const std::vector<std::string> names = namesIn(packageDirectory);
    const std::string *sumsName = spellingAmong(names, kSumsFile);
    if (!sumsName)
        return Status::success();
    const Result<std::string> text = readFile(joinPath(packageDirectory, *sumsName), kSmallFileLimit, Overflow::Refuse);
    if (!text)
        return text.status();
    const Result<std::vector<FileSum>> sums = parseSums(*text);
    if (!sums)
        return sums.status();
    std::vector<std::string> paths;
    std::vector<double> sizes;
    double total = 0;
    // The installer is not checked: the one that checks is the one running,
    // and a package may carry another in its place (the Linux installer
    // copied in as install.exe), as earlier editors listed it.
    std::vector<FileSum> checked;
    for (const FileSum &sum : *sums)
        if (!sameFileName(sum.name, kPackageProgram))
            checked.push_back(sum);
    for (const FileSum &sum : checked) {
        const std::string *spelling = spellingAmong(names, sum.name);
        if (!spelling)
            return Status::failure(ErrorCode::NotFound, sum.name + ", which " + kSumsFile + " names, is missing");
        paths.push_back(joinPath(packageDirectory, *spelling));
        std::error_code ec;
        sizes.push_back(static_cast<double>(fileSize(paths.back(), ec)));
        total += sizes.back();
    }
    double before = 0;
    for (size_t k = 0; k < checked.size(); ++k) {
        const FileSum &sum = checked[k];
        HashProgress watch{progress, sum.name, total > 0 ? before / total : 0, total > 0 ? sizes[k] / total : 0};
        const Result<Sha256Digest> digest = sha256OfFile(paths[k], &watch);
        if (!digest)
            return digest.status();
        if (*digest != sum.digest)
            return Status::failure(ErrorCode::BadFormat, sum.name + " does not match its checksum");
        before += sizes[k];
    }
    return Status::success();
}

std::string damagedMessage(const std::string &file, const std::string &reason)
{
    return file + " is damaged (" + reason + "). Ask for the package again.";
}

} // namespace vesk
