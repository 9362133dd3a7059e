#include "sha256.h"

#include <openssl/evp.h>

#include <new>

namespace vesk {

struct Sha256::State
{
    EVP_MD_CTX *context = nullptr;
};

Sha256::Sha256() : m_state(std::make_unique<State>())
{
    m_state->context = EVP_MD_CTX_new();
    if (!m_state->context || EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_state->context);
}

void Sha256::add(const void *bytes, std::size_t size)
{
    EVP_DigestUpdate(m_state->context, bytes, size);
}

Sha256Digest Sha256::finish()
{
    Sha256Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_state->context, digest.data(), &length);
    EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
    return digest;
}

} // namespace vesk
