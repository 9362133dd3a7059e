#include "theme.h"

#include <stdexcept>

namespace vesk {

namespace {

size_t slotPosition(int index)
{
    if (index < 1 || index > kSlotCount)
        throw std::out_of_range("no sound slot " + std::to_string(index));
    return static_cast<size_t>(index - 1);
}

} // namespace

Theme::Theme() = default;

const std::string &Theme::slot(int index) const
{
    return m_project.slots[slotPosition(index)];
}

const SoundEdit &Theme::edit(int index) const
{
    return m_project.edits[slotPosition(index)];
}

ThemeStep &Theme::openStep()
{
    if (!m_open) {
        m_open.emplace();
        m_automatic = true;
    }
    return *m_open;
}

void Theme::closeAutomaticStep()
{
    if (m_automatic)
        endStep();
}

void Theme::putSlot(int index, const std::string &path, const SoundEdit &edit)
{
    const size_t at = slotPosition(index);
    m_project.slots[at] = path;
    m_project.edits[at] = edit;
}

// The open step's change of slot `index`, made with the slot as it is when
// the step first changes it: a slot changed twice in one step is one change,
// from its first value to its last.
ThemeStep::Slot &Theme::slotChange(int index)
{
    ThemeStep &step = openStep();
    for (ThemeStep::Slot &earlier : step.slots)
        if (earlier.index == index)
            return earlier;
    const size_t at = slotPosition(index);
    return step.slots.emplace_back(
        ThemeStep::Slot{index, m_project.slots[at], m_project.slots[at], m_project.edits[at], m_project.edits[at]});
}

void Theme::setSlot(int index, std::string value)
{
    if (m_project.slots[slotPosition(index)] == value)
        return;
    ThemeStep::Slot &change = slotChange(index);
    putSlot(index, value, SoundEdit());
    change.after = std::move(value);
    change.afterEdit = SoundEdit();
    closeAutomaticStep();
}

void Theme::setEdit(int index, SoundEdit edit)
{
    const size_t at = slotPosition(index);
    if (edit.empty())
        edit = SoundEdit();
    if (m_project.edits[at] == edit)
        return;
    ThemeStep::Slot &change = slotChange(index);
    m_project.edits[at] = edit;
    change.afterEdit = std::move(edit);
    closeAutomaticStep();
}

void Theme::addLink(Link link)
{
    openStep().links.push_back({m_project.links.size(), link, true});
    m_project.links.push_back(std::move(link));
    closeAutomaticStep();
}

void Theme::removeLink(size_t row)
{
    if (row >= m_project.links.size())
        return;
    openStep().links.push_back({row, m_project.links[row], false});
    m_project.links.erase(m_project.links.begin() + static_cast<std::ptrdiff_t>(row));
    closeAutomaticStep();
}

void Theme::setDescription(std::optional<PackageDescription> description)
{
    if (m_project.description == description)
        return;
    ThemeStep &step = openStep();
    if (!step.description)
        step.description = ThemeStep::DescriptionChange{m_project.description, {}};
    step.description->after = description;
    m_project.description = std::move(description);
    closeAutomaticStep();
}

void Theme::load(Project project, bool changed)
{
    m_project = std::move(project);
    m_history.clear();
    m_position = 0;
    m_saved = changed ? std::nullopt : std::optional<size_t>(0);
    m_open.reset();
    ++m_revision;
}

void Theme::beginStep(std::string name)
{
    if (m_open)
        endStep();
    m_open.emplace();
    m_open->name = std::move(name);
    m_automatic = false;
}

bool Theme::endStep()
{
    m_automatic = false;
    if (!m_open)
        return false;
    ThemeStep step = std::move(*m_open);
    m_open.reset();
    // A slot set back to what it was within the step is no change.
    for (size_t i = step.slots.size(); i-- > 0;) {
        const ThemeStep::Slot &slot = step.slots[i];
        if (slot.before == slot.after && slot.beforeEdit == slot.afterEdit)
            step.slots.erase(step.slots.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (step.description && step.description->before == step.description->after)
        step.description.reset();
    if (step.slots.empty() && step.links.empty() && !step.description)
        return false;
    // What could have been redone is gone, and with it the saved state, if
    // it lay there.
    m_history.resize(m_position);
    if (m_saved && *m_saved > m_position)
        m_saved.reset();
    m_history.push_back(std::move(step));
    ++m_position;
    ++m_revision;
    return true;
}

const ThemeStep *Theme::undoable() const
{
    return m_position > 0 ? &m_history[m_position - 1] : nullptr;
}

const ThemeStep *Theme::redoable() const
{
    return m_position < m_history.size() ? &m_history[m_position] : nullptr;
}

const ThemeStep *Theme::undo()
{
    if (m_open)
        endStep();
    if (m_position == 0)
        return nullptr;
    const ThemeStep &step = m_history[--m_position];
    ++m_revision;
    for (auto slot = step.slots.rbegin(); slot != step.slots.rend(); ++slot)
        putSlot(slot->index, slot->before, slot->beforeEdit);
    for (auto link = step.links.rbegin(); link != step.links.rend(); ++link) {
        const auto at = m_project.links.begin() + static_cast<std::ptrdiff_t>(link->row);
        if (link->added)
            m_project.links.erase(at);
        else
            m_project.links.insert(at, link->link);
    }
    if (step.description)
        m_project.description = step.description->before;
    return &step;
}

const ThemeStep *Theme::redo()
{
    if (m_open)
        endStep();
    if (m_position == m_history.size())
        return nullptr;
    const ThemeStep &step = m_history[m_position++];
    ++m_revision;
    for (const ThemeStep::Slot &slot : step.slots)
        putSlot(slot.index, slot.after, slot.afterEdit);
    for (const ThemeStep::LinkChange &link : step.links) {
        const auto at = m_project.links.begin() + static_cast<std::ptrdiff_t>(link.row);
        if (link.added)
            m_project.links.insert(at, link.link);
        else
            m_project.links.erase(at);
    }
    if (step.description)
        m_project.description = step.description->after;
    return &step;
}

} // namespace vesk
