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

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

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

// Lane by lane the larger (smaller) of `a` and `b`; where `b` is not a
// number, `a`, as std::max and std::min keep what they hold.
[[gnu::always_inline]] inline Floats maximum(Floats a, Floats b)
{
    return b > a ? b : a;
}

[[gnu::always_inline]] inline Floats minimum(Floats a, Floats b)
{
    return b < a ? b : a;
}

[[gnu::always_inline]] inline Floats magnitude(Floats a)
{
    return maximum(a, -a);
}

enum class Fold {
    Largest,
    Smallest,
    Total
};

template<Fold kFold, typename V>
[[gnu::always_inline]] inline V combine(V x, V y)
{
    if constexpr (kFold == Fold::Largest)
        return y > x ? y : x;
    else if constexpr (kFold == Fold::Smallest)
        return y < x ? y : x;
    else
        return x + y;
}

// `a`'s lanes combined into one, in halves. Every step is inlined: a call
// would hand a wide vector to code built for narrower ones.
template<Fold kFold>
[[gnu::always_inline]] inline float fold(Floats a)
{
    typedef float Half __attribute__((vector_size(kFloats * sizeof(float) / 2)));
    typedef float Quarter __attribute__((vector_size(kFloats * sizeof(float) / 4)));
    Half low, high;
    std::memcpy(&low, &a, sizeof low);
    std::memcpy(&high, reinterpret_cast<const char *>(&a) + sizeof low, sizeof high);
    const Half half = combine<kFold>(low, high);
    Quarter left, right;
    std::memcpy(&left, &half, sizeof left);
    std::memcpy(&right, reinterpret_cast<const char *>(&half) + sizeof left, sizeof right);
    const Quarter quarter = combine<kFold>(left, right);
    float result = quarter[0];
    for (std::size_t i = 1; i < kFloats / 4; ++i)
        result = combine<kFold>(result, quarter[i]);
    return result;
}

[[gnu::always_inline]] inline float largest(Floats a)
{
    return fold<Fold::Largest>(a);
}

[[gnu::always_inline]] inline float smallest(Floats a)
{
    return fold<Fold::Smallest>(a);
}

[[gnu::always_inline]] inline float total(Floats a)
{
    return fold<Fold::Total>(a);
}

// While one lives, numbers too small for their type's full precision count
// as 0 (the processor's flush-to-zero and denormals-are-zero): a filter
// ringing down in silence would otherwise reach them and slow down many
// times over, for figures far below anything heard.
class DenormalsAsZero
{
public:
#if defined(__SSE2__)
    DenormalsAsZero() : m_saved(_mm_getcsr())
    {
        _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalsAsZero()
    {
        _mm_setcsr(m_saved);
    }
#else
    DenormalsAsZero() = default;
#endif
    DenormalsAsZero(const DenormalsAsZero &) = delete;
    DenormalsAsZero &operator=(const DenormalsAsZero &) = delete;

#if defined(__SSE2__)
private:
    static constexpr unsigned kFlushToZero = 0x8000, kDenormalsAreZero = 0x0040;
    unsigned m_saved;
#endif
};

} // namespace vesk::vectors
