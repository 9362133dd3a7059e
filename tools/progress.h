#pragma once

#include <string>

namespace vesk {

// Long work tells how far it is and learns whether the player cancelled. The
// work calls it on the thread that started it, often enough (a few times a
// second at least) for that thread's windows to stay answering.
class Progress
{
public:
    virtual ~Progress() = default;
    // `done` of the work (0 to 1) is done and `file` is at hand; false once
    // the player cancelled.
    virtual bool advance(const std::string &file, double done) = 0;
};

// Work nobody watches.
class NoProgress final : public Progress
{
public:
    bool advance(const std::string &, double) override { return true; }
};

// Part of a longer piece of work, from `from` on for `share` of the whole.
class PartProgress final : public Progress
{
public:
    PartProgress(Progress &whole, double from, double share) : m_whole(whole), m_from(from), m_share(share) {}
    bool advance(const std::string &file, double done) override
    {
        return m_whole.advance(file, m_from + m_share * done);
    }

private:
    Progress &m_whole;
    double m_from, m_share;
};

} // namespace vesk
