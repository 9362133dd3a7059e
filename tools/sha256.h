#pragma once

#include "progress.h"
#include "status.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vesk {

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 from the system's own library: OpenSSL's libcrypto on Linux,
// BCrypt on Windows.
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void add(const void *bytes, std::size_t size);
    // The digest of everything added; the hash starts again empty.
    Sha256Digest finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

Sha256Digest sha256Of(std::string_view bytes);

// 64 lowercase hex digits.
std::string hexDigits(const Sha256Digest &digest);

// Streams a regular file through the hash, telling `progress` of every block
// as `shownAs` with `done` moved on from `doneBefore` by `share` times the
// part read. A cancel is ErrorCode::Cancelled.
struct HashProgress
{
    Progress &progress;
    std::string shownAs;
    double doneBefore = 0;
    double share = 0;
};
Result<Sha256Digest> sha256OfFile(const std::string &path, HashProgress *progress = nullptr);

} // namespace vesk
