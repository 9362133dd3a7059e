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

} // namespace vesk
