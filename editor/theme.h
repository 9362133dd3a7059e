#pragma once

#include "links.h"
#include "projectfile.h"
#include "slotcatalogue.h"

#include <optional>
#include <string>
#include <vector>

namespace vesk {

// One step of the theme's history: what it changed, as it was before and as
// it is after, so that it can be taken back and made again exactly.
struct ThemeStep
{
    struct Slot
    {
        int index = 0;
        std::string before, after; // the slot's sound
        SoundEdit beforeEdit, afterEdit;
    };
    struct LinkChange
    {
        size_t row = 0;
        Link link;
        bool added = false; // else removed from `row`
    };
    struct DescriptionChange
    {
        std::optional<PackageDescription> before, after;
    };
    std::string name; // "Add File to Bombs, Level 1"
    std::vector<Slot> slots;
    std::vector<LinkChange> links;
    std::optional<DescriptionChange> description;
};

// The theme being edited: what the windows show and what Save, Convert and
// the package build take. Every value is kept as the bytes it was read or
// chosen as, so that a project goes out exactly as it came in, whatever its
// paths hold; only the windows decode them, for display.
//
// Every change is recorded in the theme's history, as one step between
// beginStep and endStep (the procedures name them) or as a step of its own.
// Undo and Redo walk the history; whether the theme is changed follows it,
// so that undoing back to what was saved leaves it unchanged.
class Theme
{
public:
    Theme();

    const SlotValues &slots() const { return m_project.slots; }
    const std::string &slot(int index) const; // index 1 to kSlotCount
    void setSlot(int index, std::string value);
    void clearSlot(int index) { setSlot(index, kNoSound); }

    // What the player made of a slot's sound; another file, or none, drops it.
    const SoundEdit &edit(int index) const;
    void setEdit(int index, SoundEdit edit);

    const std::vector<Link> &links() const { return m_project.links; }
    void addLink(Link link);
    void removeLink(size_t row);

    // What the package window shows and builds from; none until it is kept.
    const std::optional<PackageDescription> &description() const { return m_project.description; }
    void setDescription(std::optional<PackageDescription> description);

    const Project &project() const { return m_project; }
    // After an Open: the project's values, nothing changed and a new history.
    // With `changed`, the values differ from the file's (a recovered theme).
    void load(Project project, bool changed = false);

    // The changes until endStep are one step named `name`; endStep records
    // it when it changed anything and says whether it did.
    void beginStep(std::string name);
    bool endStep();

    // The step Undo would take back, or Redo make again; none when there is none.
    const ThemeStep *undoable() const;
    const ThemeStep *redoable() const;
    // Takes back (makes again) that step and returns it; none when there is none.
    const ThemeStep *undo();
    const ThemeStep *redo();

    // Whether the theme differs from what was last opened or saved.
    bool changed() const { return m_saved != m_position; }
    void markSaved()
    {
        m_saved = m_position;
        ++m_revision;
    }
    // Counts every change to the theme and to whether it is changed.
    unsigned long long revision() const { return m_revision; }

private:
    ThemeStep &openStep();
    ThemeStep::Slot &slotChange(int index);
    void closeAutomaticStep();
    void putSlot(int index, const std::string &path, const SoundEdit &edit);

    Project m_project;
    std::vector<ThemeStep> m_history;
    size_t m_position = 0;             // steps before it are done
    std::optional<size_t> m_saved = 0; // where the history matches the file; none when nowhere
    std::optional<ThemeStep> m_open;   // the step being recorded
    bool m_automatic = false;          // m_open was opened by a change alone
    unsigned long long m_revision = 0;
};

} // namespace vesk
