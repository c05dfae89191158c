// SPDX-License-Identifier: MIT
// Long double (the 68881's 96-bit extended format) conversions and
// comparisons, exact, from the bits: sign and 15-bit exponent in the top half
// of the first word, 16 bits of padding, then a 64-bit mantissa with an
// explicit integer bit. A finite value is mantissa * 2^(exponent - 16383 - 63),
// exponent 0 included (the 68881 has no denormal exponent shift), so
// denormals and unnormals need no case of their own. Exponent 0x7FFF is an
// infinity when the 63 bits below the integer bit are zero, else a NaN, quiet
// when bit 62 is set.
//
// Conversions to float and double round to nearest, ties to even. A NaN
// keeps its sign and the top of its payload and comes out quiet; infinities
// stay infinite. An infinity is made with an all-zero mantissa and a NaN with
// the integer bit set, as GCC folds constants.
//
// Conversions to integers truncate toward zero and saturate as GCC's soft-fp
// does: signed ones give the most negative or most positive value by the
// sign for NaNs and out-of-range values; unsigned ones give 0 for negatives
// and negative NaNs, all ones for too large values and positive NaNs.
//
// Comparisons return what GCC expects of __eqxf2 and the rest, with an
// unordered pair (a NaN operand) making every ordered comparison false.

#include <stdint.h>

typedef long double xf;

typedef struct
{
    uint32_t sign;     // 0 or 1
    int32_t exponent;  // biased, 0..0x7FFF
    uint64_t mantissa; // integer bit at bit 63
} fields;

#define XF_MAX_EXP 0x7FFF
#define XF_BIAS 16383

union xf_bits {
    xf value;
    uint32_t word[3];
};

static fields unpack(xf value)
{
    union xf_bits u = {.value = value};
    fields f;
    f.sign = u.word[0] >> 31;
    f.exponent = (int32_t)((u.word[0] >> 16) & XF_MAX_EXP);
    f.mantissa = ((uint64_t)u.word[1] << 32) | u.word[2];
    return f;
}

static xf pack(uint32_t sign, int32_t exponent, uint64_t mantissa)
{
    union xf_bits u;
    u.word[0] = (sign << 31) | ((uint32_t)exponent << 16);
    u.word[1] = (uint32_t)(mantissa >> 32);
    u.word[2] = (uint32_t)mantissa;
    return u.value;
}

static int is_nan(fields f)
{
    return f.exponent == XF_MAX_EXP && (f.mantissa << 1) != 0;
}

static int is_inf(fields f)
{
    return f.exponent == XF_MAX_EXP && (f.mantissa << 1) == 0;
}

// The value mantissa * 2^power, exactly; mantissa is not 0 and the result is
// within the format's normal range (true of every float, double and 64-bit
// integer).
static xf pack_scaled(uint32_t sign, uint64_t mantissa, int32_t power)
{
    int shift = __builtin_clzll(mantissa);
    return pack(sign, power - shift + XF_BIAS + 63, mantissa << shift);
}

// Exponent of the leading one of a finite nonzero value, unbiased, and the
// mantissa shifted so that its leading one is bit 63.
static int32_t normalize(fields *f)
{
    int shift = __builtin_clzll(f->mantissa);
    f->mantissa <<= shift;
    return f->exponent - XF_BIAS - shift;
}

// Rounds a long double to a binary format of `precision` significant bits
// (hidden bit included), exponent bias `bias` and all-ones exponent
// `max_exponent`; returns the format's bits.
static uint64_t round_to(xf value, int precision, int32_t bias, int32_t max_exponent)
{
    fields f = unpack(value);
    uint64_t sign = (uint64_t)f.sign << (precision == 24 ? 31 : 63);
    uint64_t infinity = (uint64_t)max_exponent << (precision - 1);
    if (is_nan(f)) {
        uint64_t payload = (f.mantissa << 1) >> (64 - (precision - 1));
        return sign | infinity | payload | ((uint64_t)1 << (precision - 2));
    }
    if (is_inf(f))
        return sign | infinity;
    if (f.mantissa == 0)
        return sign;
    int32_t biased = normalize(&f) + bias;
    if (biased >= max_exponent)
        return sign | infinity;
    // Bits of the mantissa that fall below the result's last place.
    int32_t drop = 64 - precision + (biased < 1 ? 1 - biased : 0);
    uint64_t kept;
    uint64_t rest;
    uint64_t half;
    if (drop > 64)
        return sign;
    if (drop == 64) {
        kept = 0;
        rest = f.mantissa;
        half = (uint64_t)1 << 63;
    } else {
        kept = f.mantissa >> drop;
        rest = f.mantissa & (((uint64_t)1 << drop) - 1);
        half = (uint64_t)1 << (drop - 1);
    }
    if (rest > half || (rest == half && (kept & 1)))
        kept++;
    // The hidden bit of a normal result adds one to the exponent field, and
    // a carry out of the mantissa moves up into it, up to infinity.
    if (biased < 1)
        return sign | kept;
    return sign | (((uint64_t)(biased - 1) << (precision - 1)) + kept);
}

float __truncxfsf2(xf value)
{
    union {
        uint32_t bits;
        float value;
    } u = {.bits = (uint32_t)round_to(value, 24, 127, 0xFF)};
    return u.value;
}

double __truncxfdf2(xf value)
{
    union {
        uint64_t bits;
        double value;
    } u = {.bits = round_to(value, 53, 1023, 0x7FF)};
    return u.value;
}

// Widens a float or double given as sign, biased exponent and fraction bits.
static xf widen(uint32_t sign, int32_t exponent, uint64_t fraction, int fraction_bits, int32_t bias,
                int32_t max_exponent)
{
    if (exponent == max_exponent) {
        if (fraction == 0)
            return pack(sign, XF_MAX_EXP, 0);
        uint64_t quiet = (uint64_t)3 << 62;
        return pack(sign, XF_MAX_EXP, quiet | (fraction << (63 - fraction_bits)));
    }
    if (exponent == 0) {
        if (fraction == 0)
            return pack(sign, 0, 0);
        return pack_scaled(sign, fraction, 1 - bias - fraction_bits);
    }
    return pack_scaled(sign, fraction | ((uint64_t)1 << fraction_bits),
                       exponent - bias - fraction_bits);
}

xf __extendsfxf2(float value)
{
    union {
        float value;
        uint32_t bits;
    } u = {.value = value};
    return widen(u.bits >> 31, (int32_t)((u.bits >> 23) & 0xFF), u.bits & 0x7FFFFF, 23, 127, 0xFF);
}

xf __extenddfxf2(double value)
{
    union {
        double value;
        uint64_t bits;
    } u = {.value = value};
    return widen((uint32_t)(u.bits >> 63), (int32_t)((u.bits >> 52) & 0x7FF),
                 u.bits & 0xFFFFFFFFFFFFFull, 52, 1023, 0x7FF);
}

static xf from_integer(uint32_t sign, uint64_t magnitude)
{
    if (magnitude == 0)
        return pack(0, 0, 0);
    return pack_scaled(sign, magnitude, 0);
}

xf __floatsixf(int32_t value)
{
    return from_integer(value < 0, value < 0 ? -(uint64_t)value : (uint64_t)value);
}

xf __floatunsixf(uint32_t value)
{
    return from_integer(0, value);
}

xf __floatdixf(int64_t value)
{
    return from_integer(value < 0, value < 0 ? -(uint64_t)value : (uint64_t)value);
}

xf __floatundixf(uint64_t value)
{
    return from_integer(0, value);
}

// The integer part of |value|, or `limit` + 1 when that is above `limit`
// (NaNs and infinities included).
static uint64_t truncate(fields f, uint64_t limit)
{
    if (f.exponent == XF_MAX_EXP)
        return limit + 1;
    if (f.mantissa == 0)
        return 0;
    int32_t power = normalize(&f);
    if (power < 0)
        return 0;
    if (power > 63)
        return limit + 1;
    uint64_t magnitude = f.mantissa >> (63 - power);
    return magnitude > limit ? limit + 1 : magnitude;
}

int64_t __fixxfdi(xf value)
{
    fields f = unpack(value);
    uint64_t limit = f.sign ? (uint64_t)1 << 63 : ((uint64_t)1 << 63) - 1;
    uint64_t magnitude = truncate(f, limit);
    if (magnitude > limit)
        magnitude = limit;
    return f.sign ? (int64_t)-magnitude : (int64_t)magnitude;
}

uint64_t __fixunsxfdi(xf value)
{
    fields f = unpack(value);
    uint64_t magnitude = truncate(f, UINT64_MAX - 1);
    if (f.sign)
        return 0;
    return magnitude;
}

int32_t __fixxfsi(xf value)
{
    fields f = unpack(value);
    uint64_t limit = f.sign ? (uint64_t)1 << 31 : ((uint64_t)1 << 31) - 1;
    uint64_t magnitude = truncate(f, limit);
    if (magnitude > limit)
        magnitude = limit;
    return (int32_t)(f.sign ? -(uint32_t)magnitude : (uint32_t)magnitude);
}

uint32_t __fixunsxfsi(xf value)
{
    fields f = unpack(value);
    uint64_t magnitude = truncate(f, UINT32_MAX);
    if (f.sign)
        return 0;
    return magnitude > UINT32_MAX ? UINT32_MAX : (uint32_t)magnitude;
}

xf __negxf2(xf value)
{
    union xf_bits u = {.value = value};
    u.word[0] ^= (uint32_t)1 << 31;
    return u.value;
}

// -1, 0 or 1 as a is below, equal to or above b; `unordered` when either is
// a NaN.
static int compare(xf a, xf b, int unordered)
{
    fields x = unpack(a);
    fields y = unpack(b);
    if (is_nan(x) || is_nan(y))
        return unordered;
    int x_zero = x.exponent != XF_MAX_EXP && x.mantissa == 0;
    int y_zero = y.exponent != XF_MAX_EXP && y.mantissa == 0;
    if (x_zero && y_zero)
        return 0;
    if (x_zero)
        return y.sign ? 1 : -1;
    if (y_zero)
        return x.sign ? -1 : 1;
    if (x.sign != y.sign)
        return x.sign ? -1 : 1;
    // Same sign: order the magnitudes by leading one, then mantissa.
    int32_t x_power = is_inf(x) ? INT32_MAX : normalize(&x);
    int32_t y_power = is_inf(y) ? INT32_MAX : normalize(&y);
    int order = 0;
    if (x_power != y_power)
        order = x_power < y_power ? -1 : 1;
    else if (x_power != INT32_MAX && x.mantissa != y.mantissa)
        order = x.mantissa < y.mantissa ? -1 : 1;
    return x.sign ? -order : order;
}

int __unordxf2(xf a, xf b)
{
    return is_nan(unpack(a)) || is_nan(unpack(b));
}

// Zero when equal.
int __eqxf2(xf a, xf b)
{
    return compare(a, b, 1) != 0;
}

int __nexf2(xf a, xf b)
{
    return compare(a, b, 1) != 0;
}

// Below zero when a < b, at most zero when a <= b.
int __ltxf2(xf a, xf b)
{
    return compare(a, b, 2);
}

int __lexf2(xf a, xf b)
{
    return compare(a, b, 2);
}

// Above zero when a > b, at least zero when a >= b.
int __gtxf2(xf a, xf b)
{
    return compare(a, b, -2);
}

int __gexf2(xf a, xf b)
{
    return compare(a, b, -2);
}
