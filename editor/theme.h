#pragma once

#include "links.h"
#include "projectfile.h"
#include "slotcatalogue.h"

#include <string>
#include <vector>

namespace vesk {

// The theme being edited: what the windows show and what Save, Convert and
// the package build take. Every value is kept as the bytes it was read or
// chosen as, so that a project goes out exactly as it came in, whatever its
// paths hold; only the windows decode them, for display.
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

    // The slot that "Add File" and "Remove File" act on; slot 1 at first.
    int selectedSlot() const { return m_selected; }
    void selectSlot(int index);

    const std::vector<Link> &links() const { return m_project.links; }
    void addLink(Link link);
    void removeLink(size_t row);

    const Project &project() const { return m_project; }
    // After an Open: the project's values, and nothing changed.
    void load(Project project);

    // Whether a slot or a link changed since the last Open or Save.
    bool changed() const { return m_changed; }
    void markSaved() { m_changed = false; }

private:
    Project m_project;
    int m_selected = 1;
    bool m_changed = false;
};

} // namespace vesk
