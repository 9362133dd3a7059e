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

void Theme::setSlot(int index, std::string value)
{
    std::string &stored = m_project.slots[slotPosition(index)];
    if (stored == value)
        return;
    stored = std::move(value);
    m_project.edits[slotPosition(index)] = SoundEdit();
    m_changed = true;
}

const SoundEdit &Theme::edit(int index) const
{
    return m_project.edits[slotPosition(index)];
}

void Theme::setEdit(int index, SoundEdit edit)
{
    SoundEdit &stored = m_project.edits[slotPosition(index)];
    if (edit.empty())
        edit = SoundEdit();
    if (stored == edit)
        return;
    stored = edit;
    m_changed = true;
}

void Theme::selectSlot(int index)
{
    slotPosition(index);
    m_selected = index;
}

void Theme::addLink(Link link)
{
    m_project.links.push_back(std::move(link));
    m_changed = true;
}

void Theme::removeLink(size_t row)
{
    if (row >= m_project.links.size())
        return;
    m_project.links.erase(m_project.links.begin() + static_cast<std::ptrdiff_t>(row));
    m_changed = true;
}

void Theme::load(Project project)
{
    m_project = std::move(project);
    m_changed = false;
}

} // namespace vesk
