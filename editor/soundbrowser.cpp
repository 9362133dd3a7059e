#include "soundbrowser.h"

#include "displaytext.h"
#include "editorprocedures.h"
#include "files.h"
#include "paths.h"
#include "recentprojects.h"
#include "slotcatalogue.h"
#include "slotsound.h"
#include "texttools.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vesk {

namespace {

namespace fs = std::filesystem;

constexpr const char *kFolderHeading = "VESK sound browser 1";

std::string lowered(std::string text)
{
    for (char &c : text)
        c = asciiLower(c);
    return text;
}

std::string folderOf(const std::string &path)
{
    const std::size_t start = fileNameStart(path);
    return start == 0 ? std::string() : start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

std::string bytesOf(const fs::path &path)
{
#ifdef _WIN32
    return path.u8string(); // a std::string in C++17
#else
    return path.string();
#endif
}

} // namespace

bool isSoundFileName(const std::string &name)
{
    const std::string lower = lowered(name);
    for (const char *ending : {".wav", ".mp3", ".ogg", ".oga", ".opus", ".flac", ".aif", ".aiff"}) {
        const std::string_view end(ending);
        if (lower.size() > end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0)
            return true;
    }
    return false;
}

std::vector<BrowsedFile> listSounds(const std::string &folder, bool subfolders, const std::function<bool()> &keepGoing)
{
    std::vector<BrowsedFile> files;
    std::vector<fs::path> pending = {fsPath(folder)};
    const fs::path top = fsPath(folder);
    while (!pending.empty()) {
        const fs::path directory = pending.back();
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator entries(directory, fs::directory_options::none, ec);
        const auto shown = [&](const fs::path &path) { return bytesOf(path.lexically_relative(top)); };
        if (ec) {
            files.push_back({bytesOf(directory), shown(directory), "cannot be read: " + ec.message()});
            continue;
        }
        for (; entries != fs::directory_iterator(); entries.increment(ec)) {
            if (keepGoing && !keepGoing())
                return files;
            const fs::directory_entry &entry = *entries;
            std::error_code kind;
            const bool link = entry.is_symlink(kind);
            if (entry.is_directory(kind)) {
                if (subfolders && !link)
                    pending.push_back(entry.path());
                continue;
            }
            if (!isSoundFileName(bytesOf(entry.path().filename())))
                continue;
            BrowsedFile file{bytesOf(entry.path()), shown(entry.path()), {}};
            if (!entry.is_regular_file(kind))
                file.problem = "not a file";
            files.push_back(std::move(file));
        }
        if (ec)
            files.push_back({bytesOf(directory), shown(directory), "cannot be read: " + ec.message()});
    }
    std::sort(files.begin(), files.end(), [](const BrowsedFile &a, const BrowsedFile &b) {
        const std::string left = lowered(a.name), right = lowered(b.name);
        return left != right ? left < right : a.name < b.name;
    });
    return files;
}

int playingMilliseconds(const Result<SoundAnalysis> *sound)
{
    const double seconds = sound && sound->ok() ? (*sound)->seconds() : 10.0;
    return static_cast<int>(std::min(seconds, 600.0) * 1000) + 100;
}

std::vector<std::size_t> takeArrived(const std::vector<std::size_t> &waiting,
                                     const std::function<bool(std::size_t row)> &arrived, std::size_t lookAhead)
{
    std::vector<std::size_t> still;
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        if (still.size() > lookAhead) {
            still.insert(still.end(), waiting.begin() + static_cast<std::ptrdiff_t>(i), waiting.end());
            break;
        }
        if (!arrived(waiting[i]))
            still.push_back(waiting[i]);
    }
    return still;
}

std::string browserTarget(int slot, const std::optional<std::string> &gameFile, const Result<SoundAnalysis> *game)
{
    const std::string start = "For " + slotDescription(slot) + ": ";
    if (!gameFile)
        return start + "the game has no sound of its own for this slot";
    if (!game)
        return start + "the game's sound " + displayText(*gameFile) + " is being measured";
    if (!*game)
        return start + "the game's sound cannot be measured: " + game->error();
    std::string text = start + "the game's sound is " + lengthText((*game)->seconds());
    if ((*game)->loudness.integrated)
        text += ", " + levelText(*(*game)->loudness.integrated) + " LUFS";
    else
        text += ", silent";
    return text;
}

std::string soundVerdict(const Result<SoundAnalysis> &sound, const SoundAnalysis *game)
{
    if (!sound)
        return "cannot be used: " + sound.error();
    std::vector<std::string> parts;
    const double seconds = sound->seconds();
    if (muchLonger(seconds, game ? std::optional<double>(game->seconds()) : std::nullopt))
        parts.push_back(
            "long: " + lengthText(seconds)
            + (game ? ", the game's is " + lengthText(game->seconds()) : ", over " + lengthText(kLongWithoutGame)));
    const std::optional<double> ours = sound->loudness.integrated;
    const std::optional<double> theirs = game ? game->loudness.integrated : std::nullopt;
    if (ours && theirs && std::fabs(*ours - *theirs) > kLoudnessApart)
        parts.push_back(std::to_string(std::lround(std::fabs(*ours - *theirs))) + " LU "
                        + (*ours > *theirs ? "louder" : "quieter") + " than the game's");
    if (parts.empty())
        return "fits";
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

int nextSlotOnScreen(int slot)
{
    std::vector<int> order;
    for (const FrameInfo &frame : frameCatalogue()) {
        std::vector<const SlotInfo *> rows;
        for (const SlotInfo &info : slotCatalogue())
            if (std::string_view(info.frame) == frame.name)
                rows.push_back(&info);
        std::sort(rows.begin(), rows.end(), [](const SlotInfo *a, const SlotInfo *b) { return a->row < b->row; });
        for (const SlotInfo *info : rows)
            order.push_back(info->index);
    }
    const auto at = std::find(order.begin(), order.end(), slot);
    return at == order.end() || at + 1 == order.end() ? order.front() : *(at + 1);
}

std::string browserStartFolder(const Editor &editor, const std::optional<std::string> &lastFolder,
                               const std::string &home)
{
    const auto existing = [](const std::string &folder) {
        std::error_code ec;
        return !folder.empty() && fs::is_directory(fsPath(folder), ec);
    };
    std::vector<std::string> candidates;
    if (!isEmptySlot(editor.theme.slot(editor.selectedSlot)))
        candidates.push_back(folderOf(editor.theme.slot(editor.selectedSlot)));
    for (int k = 1; k <= kSlotCount; ++k)
        if (!isEmptySlot(editor.theme.slot(k))) {
            candidates.push_back(folderOf(editor.theme.slot(k)));
            break;
        }
    if (lastFolder)
        candidates.push_back(*lastFolder);
    for (const std::string &folder : candidates)
        if (existing(folder))
            return folder;
    return home;
}

std::string browserSettingsFile(const std::string &settingsFile)
{
    return besideSettings(settingsFile, "vesk-browser.cfg");
}

// The heading, the folder (an empty line for none), then "play on select"
// or "play on request".
BrowserSettings readBrowserSettings(const std::string &file)
{
    BrowserSettings settings;
    const Result<std::string> text = readFile(file, kSmallFileLimit, Overflow::Refuse);
    if (!text)
        return settings;
    const std::vector<std::string_view> lines = textLines(*text);
    if (lines.size() < 3 || lines[0] != kFolderHeading
        || (lines[2] != "play on select" && lines[2] != "play on request"))
        return settings;
    if (!lines[1].empty())
        settings.folder = std::string(lines[1]);
    settings.playOnSelect = lines[2] == "play on select";
    return settings;
}

Status writeBrowserSettings(const std::string &file, const BrowserSettings &settings)
{
    if (settings.folder && settings.folder->find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Status::success(); // a name no line can hold is not kept
    return writeTextFileAtomically(file, {kFolderHeading, settings.folder.value_or(std::string()),
                                          settings.playOnSelect ? "play on select" : "play on request"});
}

} // namespace vesk
