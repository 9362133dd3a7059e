#include "sha256.h"

#include <windows.h>

#include <bcrypt.h>

#include <new>

namespace vesk {

namespace {

// The provider is opened once and kept: opening it is the costly part.
BCRYPT_ALG_HANDLE provider()
{
    static const BCRYPT_ALG_HANDLE handle = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0)
            return BCRYPT_ALG_HANDLE{};
        return opened;
    }();
    return handle;
}

BCRYPT_HASH_HANDLE newHash()
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!provider() || BCryptCreateHash(provider(), &hash, nullptr, 0, nullptr, 0, 0) < 0)
        throw std::bad_alloc();
    return hash;
}

} // namespace

struct Sha256::State
{
    BCRYPT_HASH_HANDLE hash = nullptr;
};

Sha256::Sha256() : m_state(std::make_unique<State>())
{
    m_state->hash = newHash();
}

Sha256::~Sha256()
{
    BCryptDestroyHash(m_state->hash);
}

void Sha256::add(const void *bytes, std::size_t size)
{
    // BCryptHashData takes at most 4 GiB at once.
    const auto *at = static_cast<const unsigned char *>(bytes);
    while (size > 0) {
        const ULONG part = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        BCryptHashData(m_state->hash, const_cast<PUCHAR>(at), part, 0);
        at += part;
        size -= part;
    }
}

Sha256Digest Sha256::finish()
{
    Sha256Digest digest{};
    BCryptFinishHash(m_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
    BCryptDestroyHash(m_state->hash);
    m_state->hash = newHash();
    return digest;
}

} // namespace vesk
