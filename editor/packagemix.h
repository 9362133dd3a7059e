#pragma once

#include "openpackage.h"
#include "progress.h"
#include "sha256.h"
#include "slotcatalogue.h"
#include "soundanalysis.h"
#include "status.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vesk {

// Take Sounds from Packages: the theme's 47 slots beside those of up to ten
// packages, one column each after the theme's own, and the sound chosen for
// each slot until OK puts the choices in the theme.
class PackageMix
{
public:
    static constexpr size_t kMostPackages = 10;

    explicit PackageMix(const SlotValues &theme);
    ~PackageMix();
    PackageMix(const PackageMix &) = delete;
    PackageMix &operator=(const PackageMix &) = delete;

    // Adds a package (see packageAt), checked as Open Package checks it, as
    // the last column. The failure is the message to show, or a cancel
    // (ErrorCode::Cancelled).
    Status add(const std::string &path, Progress &progress);

    size_t columns() const { return 1 + m_packages.size(); }
    // "This Theme", then each package by its name.
    std::string title(size_t column) const;
    // The sound of slot `index` in `column`; none where it has none.
    std::optional<std::string> sound(int index, size_t column) const;
    // The first column before `column` whose sound for the slot is the same
    // bytes, so that the two are shown as one; none for the first of its
    // bytes, or a cell without a sound.
    std::optional<size_t> sameAs(int index, size_t column) const;
    // Whether the packages give the slot sounds of more than one kind of bytes.
    bool differs(int index) const;

    // The column whose sound the slot gets (0: the theme's, as it is).
    size_t chosen(int index) const { return m_chosen.at(static_cast<size_t>(index - 1)); }
    // Use: the cell's sound for its slot (a cell without one chooses
    // nothing); Use Column: every sound the column has.
    void use(int index, size_t column);
    void useColumn(size_t column);
    // The slots whose choice changes the theme, in index order.
    std::vector<int> changedSlots() const;

    // Where OK copies the chosen sounds unless the player says otherwise:
    // "THEME NAME sounds" beside the first package a choice comes from.
    std::string proposedFolder() const;
    // OK: each chosen package sound copied into `folder` under its slot's
    // name ("Bombs, Level 1.wav"; "Bombs, Level 1 (2).wav" where that is
    // taken, so that no sound the theme's history refers to is replaced),
    // all or nothing; the slots and the copies they get.
    Result<std::vector<std::pair<int, std::string>>> copyChosen(const std::string &folder, Progress &progress) const;

private:
    struct Cell
    {
        std::string path;
        std::uint64_t size = 0;
        std::optional<Sha256Digest> digest; // worked out when a cell of its size needs it
    };
    const Cell *cell(int index, size_t column) const;
    bool sameBytes(int index, size_t a, size_t b) const;

    std::vector<std::unique_ptr<OpenedPackage>> m_packages;
    // Per column, then per slot (slot 1 first); mutable for the digests
    // worked out as they are needed.
    mutable std::vector<std::array<std::optional<Cell>, kSlotCount>> m_cells;
    std::array<size_t, kSlotCount> m_chosen{};
};

// The slots as the window's rows list them: in the order they stand on
// screen, tab by tab and frame by frame.
std::vector<int> slotsOnScreen();

// What the window shows: a row's title ("Bombs, Level 1", marked where the
// packages differ), and a cell: the sound's length and loudness and what it
// is against the game's sound ("0.6 s, −20.1 LUFS: fits"), "same as Ocean"
// for bytes shown in an earlier column, "measuring..." until its figures
// are in, and for a slot without a sound the theme's "none" or a
// package's "(the game's own)". A package's cell chosen for its slot begins
// "Used: ".
std::string mixRowTitle(const PackageMix &mix, int index);
// What the window has measured, in the order it wants it: the game's own
// sound of each slot (`gameFile`), then every cell's, row by row.
std::vector<std::string> mixSoundsToMeasure(const PackageMix &mix,
                                            const std::function<std::optional<std::string>(int slot)> &gameFile);
std::string mixCellText(const PackageMix &mix, int index, size_t column, const Result<SoundAnalysis> *sound,
                        const SoundAnalysis *game);

} // namespace vesk
