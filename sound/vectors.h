#pragma once

// Vectors for the hot loops of the meter and the waveform summary, in GCC's
// and Clang's vector extensions so that one source serves every processor.
// Where the system picks a function's build when the program loads (ELF's
// indirect functions), those loops are also built for the wider vectors and
// the fused multiply-add of newer x86-64 processors; elsewhere they run as
// SSE2, which every x86-64 has. The helpers are always inlined, so that each
// build of a loop has them in its own instructions.

#include <cstddef>
#include <cstring>

#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__)
#define VESK_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#define VESK_WIDE_VECTORS 1
#else
#define VESK_VECTOR_CLONES
#define VESK_WIDE_VECTORS 0
#endif

namespace vesk::vectors {

// Sixteen floats where the loops are also built for AVX-512; elsewhere the
// four of one SSE register, since a wider vector on the stack of a Windows
// program would want an alignment its stack does not keep.
constexpr std::size_t kFloats = VESK_WIDE_VECTORS ? 16 : 4;
typedef float Floats __attribute__((vector_size(kFloats * sizeof(float))));
typedef double Doubles2 __attribute__((vector_size(2 * sizeof(double))));

// kFloats floats from anywhere, aligned or not.
[[gnu::always_inline]] inline Floats load(const float *from)
{
    Floats v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

[[gnu::always_inline]] inline Floats splat(float value)
{
    return Floats{} + value;
}

[[gnu::always_inline]] inline Floats maximum(Floats a, Floats b)
{
    return a > b ? a : b;
}

[[gnu::always_inline]] inline Floats minimum(Floats a, Floats b)
{
    return a < b ? a : b;
}

[[gnu::always_inline]] inline Floats magnitude(Floats a)
{
    return maximum(a, -a);
}

// One lane's worth of `a`'s lanes, combined by `op` in halves.
template<typename Op>
[[gnu::always_inline]] inline float fold(Floats a, Op op)
{
    typedef float Half __attribute__((vector_size(kFloats * sizeof(float) / 2)));
    typedef float Quarter __attribute__((vector_size(kFloats * sizeof(float) / 4)));
    Half low, high;
    std::memcpy(&low, &a, sizeof low);
    std::memcpy(&high, reinterpret_cast<const char *>(&a) + sizeof low, sizeof high);
    const Half half = op(low, high);
    Quarter left, right;
    std::memcpy(&left, &half, sizeof left);
    std::memcpy(&right, reinterpret_cast<const char *>(&half) + sizeof left, sizeof right);
    const Quarter quarter = op(left, right);
    float result = quarter[0];
    for (std::size_t i = 1; i < kFloats / 4; ++i)
        result = op(result, quarter[i]);
    return result;
}

[[gnu::always_inline]] inline float largest(Floats a)
{
    return fold(a, [](auto x, auto y) { return x > y ? x : y; });
}

[[gnu::always_inline]] inline float smallest(Floats a)
{
    return fold(a, [](auto x, auto y) { return x < y ? x : y; });
}

[[gnu::always_inline]] inline float total(Floats a)
{
    return fold(a, [](auto x, auto y) { return x + y; });
}

} // namespace vesk::vectors
