#include "packagemix.h"

#include "displaytext.h"
#include "fileops.h"
#include "paths.h"
#include "slotsound.h"
#include "soundbrowser.h"

#include <algorithm>
#include <cstring>

namespace vesk {

namespace {

std::string withoutExtension(const std::string &name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

PackageMix::PackageMix(const SlotValues &theme)
{
    auto &column = m_cells.emplace_back();
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::string &value = theme[static_cast<size_t>(k - 1)];
        std::error_code ec;
        const std::uintmax_t size = isEmptySlot(value) ? 0 : fileSize(value, ec);
        if (!isEmptySlot(value) && !ec)
            column[static_cast<size_t>(k - 1)] = Cell{value, size, std::nullopt};
    }
}

PackageMix::~PackageMix() = default;

Status PackageMix::add(const std::string &path, Progress &progress)
{
    if (m_packages.size() >= kMostPackages)
        return Status::failure(ErrorCode::Invalid,
                               "At most " + std::to_string(kMostPackages) + " packages can be compared at once.");
    const Result<PackagePlace> place = packageAt(path);
    if (!place)
        return Status::failure(place.code(), sentence(place.error()));
    for (const auto &package : m_packages) {
        std::error_code ec;
        if (sameFile(package->place().path, place->path, ec))
            return Status::failure(ErrorCode::Invalid, package->name() + " is added already.");
    }
    Result<OpenedPackage> opened = OpenedPackage::open(*place, progress);
    if (!opened)
        return opened.status();
    auto package = std::make_unique<OpenedPackage>(std::move(opened).value());
    auto &column = m_cells.emplace_back();
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::optional<std::string> &sound = package->sound(k);
        std::error_code ec;
        const std::uintmax_t size = sound ? fileSize(*sound, ec) : 0;
        if (sound && !ec)
            column[static_cast<size_t>(k - 1)] = Cell{*sound, size, package->digest(k)};
    }
    m_packages.push_back(std::move(package));
    return Status::success();
}

std::string PackageMix::title(size_t column) const
{
    return column == 0 ? "This Theme" : m_packages.at(column - 1)->name();
}

const PackageMix::Cell *PackageMix::cell(int index, size_t column) const
{
    const std::optional<Cell> &found = m_cells.at(column).at(static_cast<size_t>(index - 1));
    return found ? &*found : nullptr;
}

std::optional<std::string> PackageMix::sound(int index, size_t column) const
{
    const Cell *found = cell(index, column);
    return found ? std::optional<std::string>(found->path) : std::nullopt;
}

// Two cells of one slot hold the same bytes: the sizes first, then the
// checksums, worked out only for cells whose sizes match.
bool PackageMix::sameBytes(int index, size_t a, size_t b) const
{
    Cell *cells[] = {&*m_cells[a][static_cast<size_t>(index - 1)], &*m_cells[b][static_cast<size_t>(index - 1)]};
    if (cells[0]->size != cells[1]->size)
        return false;
    for (Cell *c : cells) {
        if (!c->digest) {
            const Result<Sha256Digest> digest = sha256OfFile(c->path);
            if (!digest)
                return false;
            c->digest = *digest;
        }
    }
    return *cells[0]->digest == *cells[1]->digest;
}

std::optional<size_t> PackageMix::sameAs(int index, size_t column) const
{
    if (!cell(index, column))
        return std::nullopt;
    for (size_t earlier = 0; earlier < column; ++earlier)
        if (cell(index, earlier) && sameBytes(index, earlier, column))
            return earlier;
    return std::nullopt;
}

bool PackageMix::differs(int index) const
{
    // A package without the slot leaves the game's own sound: a kind of its own.
    size_t kinds = 0;
    bool without = false;
    for (size_t column = 1; column < columns(); ++column) {
        if (!cell(index, column)) {
            kinds += !without;
            without = true;
            continue;
        }
        bool first = true;
        for (size_t earlier = 1; earlier < column && first; ++earlier)
            first = !(cell(index, earlier) && sameBytes(index, earlier, column));
        kinds += first;
    }
    return kinds > 1;
}

void PackageMix::use(int index, size_t column)
{
    if (column < columns() && (column == 0 || cell(index, column)))
        m_chosen.at(static_cast<size_t>(index - 1)) = column;
}

void PackageMix::useColumn(size_t column)
{
    for (int k = 1; k <= kSlotCount; ++k)
        use(k, column);
}

std::vector<int> PackageMix::changedSlots() const
{
    std::vector<int> changed;
    for (int k = 1; k <= kSlotCount; ++k)
        if (chosen(k) != 0)
            changed.push_back(k);
    return changed;
}

std::string PackageMix::proposedFolder() const
{
    const std::vector<int> changed = changedSlots();
    return changed.empty() ? std::string() : proposedSoundsFolder(*m_packages[chosen(changed.front()) - 1]);
}

Result<std::vector<std::pair<int, std::string>>> PackageMix::copyChosen(const std::string &folder,
                                                                        Progress &progress) const
{
    std::vector<FileCopy> copies;
    std::vector<std::pair<int, std::string>> slots;
    for (const int k : changedSlots()) {
        const std::string name = slotSoundName(k);
        std::string fresh = name;
        for (int n = 2; entryKind(joinPath(folder, fresh)) != EntryKind::Missing; ++n)
            fresh = withoutExtension(name) + " (" + std::to_string(n) + ").wav";
        copies.push_back({cell(k, chosen(k))->path, fresh});
        slots.emplace_back(k, joinPath(folder, fresh));
    }
    if (const Status copied = copyInto(copies, folder, progress); !copied.ok())
        return copied;
    return slots;
}

std::vector<int> slotsOnScreen()
{
    const auto &frames = frameCatalogue();
    const auto frameAt = [&frames](int slot) {
        const char *frame = slotInfo(slot).frame;
        return std::find_if(frames.begin(), frames.end(),
                            [frame](const FrameInfo &f) { return std::strcmp(f.name, frame) == 0; })
               - frames.begin();
    };
    std::vector<int> slots;
    for (int k = 1; k <= kSlotCount; ++k)
        slots.push_back(k);
    std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) {
        return std::make_pair(frameAt(a), slotInfo(a).row) < std::make_pair(frameAt(b), slotInfo(b).row);
    });
    return slots;
}

std::vector<std::string> mixSoundsToMeasure(const PackageMix &mix,
                                            const std::function<std::optional<std::string>(int slot)> &gameFile)
{
    const std::vector<int> rows = slotsOnScreen();
    std::vector<std::string> paths;
    for (const int slot : rows)
        if (const std::optional<std::string> game = gameFile(slot))
            paths.push_back(*game);
    for (const int slot : rows)
        for (size_t column = 0; column < mix.columns(); ++column)
            if (const std::optional<std::string> sound = mix.sound(slot, column))
                paths.push_back(*sound);
    return paths;
}

std::string mixRowTitle(const PackageMix &mix, int index)
{
    return slotName(index) + (mix.differs(index) ? "  \u2260" : "");
}

std::string mixCellText(const PackageMix &mix, int index, size_t column, const Result<SoundAnalysis> *sound,
                        const SoundAnalysis *game)
{
    if (!mix.sound(index, column))
        return column == 0 ? "none" : "(the game's own)";
    const std::string tick = column != 0 && mix.chosen(index) == column ? "Used: " : "";
    if (const std::optional<size_t> same = mix.sameAs(index, column))
        return tick + "same as " + mix.title(*same);
    if (!sound)
        return tick + "measuring...";
    if (!*sound)
        return tick + soundVerdict(*sound, game);
    const std::optional<double> lufs = (*sound)->loudness.integrated;
    return tick + lengthText((*sound)->seconds()) + ", " + (lufs ? levelText(*lufs) + " LUFS" : "silent") + ": "
           + soundVerdict(*sound, game);
}

} // namespace vesk
