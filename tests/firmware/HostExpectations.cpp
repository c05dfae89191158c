// SPDX-License-Identifier: MIT
#include "tests/firmware/HostExpectations.h"

#include "probe/cases.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

namespace {

template <typename To, typename From> To bitCast(From value)
{
    static_assert(sizeof(To) == sizeof(From));
    To result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

QByteArray hex(unsigned long long value)
{
    return "0x" + QByteArray::number(value, 16) + "ULL";
}

QByteArray number(long long value)
{
    // The most negative value has no literal of its own.
    return value == INT64_MIN ? "(-0x7fffffffffffffffLL - 1)" : QByteArray::number(value) + "LL";
}

// One table of expected.c and its count: probe_<kind>s[] and probe_<kind>_count.
QByteArray table(const char *kind, const QByteArray &rows, qsizetype count)
{
    return QByteArray("const struct probe_") + kind + " probe_" + kind + "s[] = {\n" + rows +
           "};\nconst unsigned long probe_" + kind + "_count = " + QByteArray::number(count) +
           ";\n\n";
}

template <typename Real> unsigned long comparisons(Real a, Real b)
{
    return (a < b ? PROBE_LESS : 0) | (a <= b ? PROBE_LESS_EQUAL : 0) | (a == b ? PROBE_EQUAL : 0) |
           (a != b ? PROBE_NOT_EQUAL : 0) | (a > b ? PROBE_GREATER : 0) |
           (a >= b ? PROBE_GREATER_EQUAL : 0) | (std::isunordered(a, b) ? PROBE_UNORDERED : 0);
}

// Zeros, denormals, the smallest and largest normals, ones and their
// neighbours, infinities, quiet and signalling NaNs, and ties.
const std::vector<uint32_t> floatSpecials = {
    0x00000000, 0x80000000, 0x00000001, 0x807fffff, 0x00800000, 0x3f800000,
    0xbf800000, 0x3f800001, 0x3fc00000, 0x3dcccccd, 0x7f7fffff, 0xff7fffff,
    0x7f800000, 0xff800000, 0x7fc00000, 0x7f800001, 0x4b000001, 0x33800000};
const std::vector<uint64_t> doubleSpecials = {
    0x0000000000000000, 0x8000000000000000, 0x0000000000000001, 0x800fffffffffffff,
    0x0010000000000000, 0x3ff0000000000000, 0xbff0000000000000, 0x3ff0000000000001,
    0x3ff8000000000000, 0x400921fb54442d11, 0x7fefffffffffffff, 0x7ff0000000000000,
    0xfff0000000000000, 0x7ff8000000000000, 0x7ff0000000000001, 0x4330000000000001,
    0x47efffffe0000000};
const std::vector<long long> integerSpecials = {0,
                                                1,
                                                -1,
                                                (1LL << 24) + 1,
                                                (1LL << 31) - 1,
                                                -(1LL << 31),
                                                (1LL << 53) + 1,
                                                -(1LL << 53) - 1,
                                                INT64_MAX,
                                                INT64_MIN,
                                                0x7ffffffffffffdffLL,
                                                0x00000000ffffffffLL,
                                                0x123456789abcdefLL};

// Bits of a float or a double: Real's size, as an unsigned integer.
template <typename Real> using BitsOf = std::conditional_t<sizeof(Real) == 4, uint32_t, uint64_t>;

// The sum, difference, product, quotient and comparisons of each pair, as the
// host computes them.
template <typename Real>
QByteArray arithmeticRows(const std::vector<std::pair<BitsOf<Real>, BitsOf<Real>>> &pairs)
{
    QByteArray rows;
    for (auto [bitsA, bitsB] : pairs) {
        volatile Real a = bitCast<Real>(bitsA), b = bitCast<Real>(bitsB);
        const auto bits = [](Real value) {
            return hex(bitCast<BitsOf<Real>>(value));
        };
        rows += "    {" + hex(bitsA) + ", " + hex(bitsB) + ", {" + bits(a + b) + ", " +
                bits(a - b) + ", " + bits(a * b) + ", " + bits(a / b) + "}, " +
                hex(comparisons<Real>(a, b)) + "},\n";
    }
    return rows;
}

// Every pair of specials, then 16 pairs of random bit patterns and of random
// ordinary values.
template <typename Real>
std::vector<std::pair<BitsOf<Real>, BitsOf<Real>>>
pairsOf(const std::vector<BitsOf<Real>> &specials, std::mt19937_64 &random)
{
    std::uniform_real_distribution<double> ordinary(-1e6, 1e6);
    const auto operand = [&](int i) {
        return i % 2 ? BitsOf<Real>(random()) : bitCast<BitsOf<Real>>(Real(ordinary(random)));
    };
    std::vector<std::pair<BitsOf<Real>, BitsOf<Real>>> pairs;
    for (BitsOf<Real> a : specials)
        for (BitsOf<Real> b : specials)
            pairs.emplace_back(a, b);
    for (int i = 0; i < 16; ++i)
        pairs.emplace_back(operand(i), operand(i));
    return pairs;
}

// Each value converted to the other width, as the host does it.
template <typename From, typename To> QByteArray widthRows(const std::vector<BitsOf<From>> &values)
{
    QByteArray rows;
    for (BitsOf<From> bits : values) {
        volatile From value = bitCast<From>(bits);
        rows += "    {" + hex(bits) + ", " + hex(bitCast<BitsOf<To>>(To(value))) + "},\n";
    }
    return rows;
}

} // namespace

QByteArray hostExpectations()
{
    std::mt19937_64 random(20261208);
    QByteArray out = "/* Written by the test: what the host computed. */\n#include \"cases.h\"\n\n";

    const auto floatPairs = pairsOf<float>(floatSpecials, random);
    auto doublePairs = pairsOf<double>(doubleSpecials, random);
    // Products by short constants, which the old routines rounded low.
    for (double constant : {1.5, 2.5, 0.75, 3.0, 10.0, 0.1})
        for (double value : {3.14159265358979, 2.718281828459045, 1.4142135623730951, 0.3})
            doublePairs.emplace_back(bitCast<uint64_t>(constant), bitCast<uint64_t>(value));
    out += table("float_case", arithmeticRows<float>(floatPairs), qsizetype(floatPairs.size()));
    out += table("double_case", arithmeticRows<double>(doublePairs), qsizetype(doublePairs.size()));

    // Conversions between the widths: the specials and random values.
    std::uniform_real_distribution<double> ordinary(-1e6, 1e6);
    std::vector<uint32_t> floatValues = floatSpecials;
    std::vector<uint64_t> doubleValues = doubleSpecials;
    for (int i = 0; i < 16; ++i) {
        floatValues.push_back(i % 2 ? uint32_t(random())
                                    : bitCast<uint32_t>(float(ordinary(random))));
        doubleValues.push_back(i % 2 ? random() : bitCast<uint64_t>(ordinary(random) * 1e-3));
    }
    out += table("float_conversion", widthRows<float, double>(floatValues),
                 qsizetype(floatValues.size()));
    out += table("double_conversion", widthRows<double, float>(doubleValues),
                 qsizetype(doubleValues.size()));

    // Integers to floating point; a long on the board has 32 bits.
    std::vector<long long> integers = integerSpecials;
    for (int i = 0; i < 32; ++i)
        integers.push_back(static_cast<long long>(random() >> (i % 48)) * (i % 3 ? 1 : -1));
    QByteArray rows;
    for (long long integer : integers) {
        volatile long long v = integer;
        const auto asLong = int32_t(uint32_t(v));
        const auto asUnsignedLong = uint32_t(v);
        rows += "    {" + number(integer) + ", " + hex(bitCast<uint32_t>(float(asLong))) + ", " +
                hex(bitCast<uint32_t>(float(asUnsignedLong))) + ", " +
                hex(bitCast<uint32_t>(float(v))) + ", " +
                hex(bitCast<uint32_t>(float((unsigned long long)v))) + ", " +
                hex(bitCast<uint64_t>(double(asLong))) + ", " +
                hex(bitCast<uint64_t>(double(asUnsignedLong))) + ", " +
                hex(bitCast<uint64_t>(double(v))) + ", " +
                hex(bitCast<uint64_t>(double((unsigned long long)v))) + "},\n";
    }
    out += table("integer_conversion", rows, qsizetype(integers.size()));

    // Floating point to integers, in range: truncation towards zero.
    rows.clear();
    std::uniform_real_distribution<double> exponent(-4, 62);
    const int toIntegerCount = 48;
    for (int i = 0; i < toIntegerCount; ++i) {
        const double sign = i % 2 ? -1 : 1;
        volatile double value =
            sign * std::ldexp(ordinary(random) / 1e6 + 1, int(exponent(random)) % 30);
        volatile double big =
            sign * std::ldexp(ordinary(random) / 2e6 + 1.5, int(exponent(random)));
        const double magnitude = std::fabs(value), bigMagnitude = std::fabs(big);
        rows +=
            "    {" + hex(bitCast<uint64_t>(double(value))) + ", " +
            hex(bitCast<uint64_t>(double(big))) + ", " + number((long long)int32_t(value)) + ", " +
            number((long long)big) + ", " + hex((unsigned long long)uint32_t(magnitude)) + ", " +
            hex((unsigned long long)bigMagnitude) + ", " + number((long long)float(big)) + "},\n";
    }
    out += table("to_integer_conversion", rows, toIntegerCount);

    out += "const char *const probe_format_expected[] = {\n";
    char text[64];
#define FORMAT(format, ...)                                                                        \
    std::snprintf(text, sizeof text, format, __VA_ARGS__);                                         \
    out += "    \"" + QByteArray(text).replace('\\', "\\\\").replace('"', "\\\"") + "\",\n";
    PROBE_FORMATS(FORMAT)
#undef FORMAT
    out += "};\n\nconst unsigned long long probe_math_expected[] = {\n";
    // Through a volatile, so that the compiler does not fold the call.
    const auto opaque = [](double value) {
        volatile double result = value;
        return result;
    };
#define MATH1(name, function, x)                                                                   \
    out += "    " + hex(bitCast<uint64_t>(std::function(opaque(x)))) + ", /* " name " */\n";
#define MATH2(name, function, x, y)                                                                \
    out += "    " + hex(bitCast<uint64_t>(std::function(opaque(x), opaque(y)))) +                  \
           ", /* " name " */\n";
    PROBE_MATH(MATH1, MATH2)
#undef MATH1
#undef MATH2
    out += "};\n";
    return out;
}
