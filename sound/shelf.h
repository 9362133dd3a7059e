#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vesk {

// A vector each thread keeps from one use to the next. Measuring a folder of
// short sounds would otherwise spend more on fresh memory from the system
// (and on the first touch of every page of it) than on the sounds. A use
// that starts while another on the same thread is going on finds the shelf
// empty and takes a vector of its own; one grown past `kKeptBytes` is not
// kept.
template<typename T>
class ShelvedVector
{
public:
    static constexpr std::size_t kKeptBytes = 1 << 20;

    ShelvedVector() : m_items(std::move(shelf())) { m_items.clear(); }
    ShelvedVector(ShelvedVector &&other) noexcept = default;
    ShelvedVector &operator=(ShelvedVector &&other) noexcept = default;
    ShelvedVector(const ShelvedVector &) = delete;
    ShelvedVector &operator=(const ShelvedVector &) = delete;
    ~ShelvedVector()
    {
        if (m_items.capacity() * sizeof(T) <= kKeptBytes && m_items.capacity() > shelf().capacity())
            shelf() = std::move(m_items);
    }

    std::vector<T> &operator*() { return m_items; }
    const std::vector<T> &operator*() const { return m_items; }
    std::vector<T> *operator->() { return &m_items; }
    const std::vector<T> *operator->() const { return &m_items; }

private:
    static std::vector<T> &shelf()
    {
        thread_local std::vector<T> kept;
        return kept;
    }

    std::vector<T> m_items;
};

} // namespace vesk
