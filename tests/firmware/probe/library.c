// SPDX-License-Identifier: MIT
/* The C library as ordinary firmware uses it: struct copies (which GCC turns
 * into memcpy and memset calls), <string.h>, the heap, qsort, strtol, div,
 * snprintf against the host's, libm within 1 ulp of the host's, and the long
 * double conversions. */
#include "cases.h"
#include "probe.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct pose
{
    long x, y, heading;
    char label[50];
};

static volatile long long_seed = 12345;
static volatile long double long_double_value = -1234567890123.75L;
static volatile long long long_long_value = -987654321098765LL;

static int compare_longs(const void *a, const void *b)
{
    long x = *(const long *)a, y = *(const long *)b;
    return (x > y) - (x < y);
}

static double expected_math(int index)
{
    double value;
    memcpy(&value, &probe_math_expected[index], sizeof value);
    return value;
}

static unsigned long long ulps_apart(double a, double b)
{
    union {
        double d;
        long long bits;
    } ua = {a}, ub = {b};
    /* Bits of the same sign order like the values they stand for. */
    long long x = ua.bits < 0 ? (long long)0x8000000000000000ULL - ua.bits : ua.bits;
    long long y = ub.bits < 0 ? (long long)0x8000000000000000ULL - ub.bits : ub.bits;
    return x > y ? (unsigned long long)(x - y) : (unsigned long long)(y - x);
}

static void check_heap(void)
{
    /* Freed blocks are reused; a request larger than the heap gives NULL and
     * leaves the heap usable. */
    char *first = malloc(200);
    memset(first, 0x5A, 200);
    free(first);
    char *again = malloc(200);
    CHECK("malloc reuses a freed block", again == first, 1);
    long *numbers = calloc(16, sizeof *numbers);
    long sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += numbers[i];
    CHECK("calloc clears", sum, 0);
    for (int i = 0; i < 16; ++i)
        numbers[i] = i * long_seed;
    numbers = realloc(numbers, 64 * sizeof *numbers);
    CHECK("realloc keeps the contents", numbers[15], 15 * 12345L);
    CHECK("malloc of more than the heap gives NULL", malloc(16UL * 1024 * 1024) == NULL, 1);
    char *after = malloc(100);
    CHECK("the heap still serves after a refusal", after != NULL, 1);
    free(after);
    free(numbers);
    free(again);
    /* Fill the heap in blocks of 1 KiB until it is full, then free it all. */
    static void *blocks[256];
    int count = 0;
    while (count < 256 && (blocks[count] = malloc(2048)) != NULL)
        ++count;
    CHECK("the heap fills and then refuses", count > 4 && count < 256, 1);
    extern char __heap_end[];
    CHECK("no block reaches past the heap", (char *)blocks[count - 1] + 2048 <= __heap_end, 1);
    while (count > 0)
        free(blocks[--count]);
}

void probe_check_library(void)
{
    struct pose a = {long_seed, -long_seed, 90, "robot one"};
    struct pose b;
    b = a; /* memcpy */
    struct pose zero = {0};
    CHECK("struct copy", b.x == a.x && b.heading == 90 && strcmp(b.label, "robot one") == 0, 1);
    CHECK("struct zeroed", zero.x | zero.y | zero.heading | zero.label[49], 0);

    char text[32] = "left wheel";
    memmove(text + 2, text, 11);
    probe_record_text("memmove overlapping", text, "leleft wheel");
    strcpy(text, "gripper");
    strcat(text, " open");
    probe_record_text("strcpy and strcat", text, "gripper open");
    CHECK("strlen", strlen(text), 12);
    CHECK("strncmp", strncmp(text, "grip", 4), 0);
    CHECK("strchr", strchr(text, 'o') - text, 8);
    CHECK("memcmp", memcmp("abc", "abd", 3) < 0, 1);

    check_heap();

    long values[] = {42, -7, 1000, 0, -99999, 3};
    qsort(values, 6, sizeof values[0], compare_longs);
    CHECK("qsort", values[0] == -99999 && values[1] == -7 && values[5] == 1000, 1);
    char *end;
    CHECK("strtol hexadecimal", strtol("0x7fff rest", &end, 16), 0x7fff);
    probe_record_text("strtol stops", end, " rest");
    CHECK("strtol negative", strtol("-123456", NULL, 10), -123456);
    div_t quotient = div(-17, 5);
    CHECK("div", quotient.quot == -3 && quotient.rem == -2, 1);
    ldiv_t long_quotient = ldiv(1000000007L, 10L);
    CHECK("ldiv", long_quotient.quot == 100000000L && long_quotient.rem == 7, 1);

    static char formatted[9][64];
    int n = 0;
#define FORMAT(format, ...) snprintf(formatted[n], sizeof formatted[n], format, __VA_ARGS__), ++n;
    PROBE_FORMATS(FORMAT)
#undef FORMAT
    for (int i = 0; i < n; ++i)
        probe_record_text("snprintf", formatted[i], probe_format_expected[i]);
    char small[6];
    CHECK("snprintf truncates and counts", snprintf(small, sizeof small, "%d", 1234567), 7);
    probe_record_text("snprintf truncated", small, "12345");

    int m = 0;
#define MATH1(name, function, x)                                                                   \
    {                                                                                              \
        volatile double arg = x;                                                                   \
        CHECK(name " within 1 ulp", ulps_apart(function(arg), expected_math(m)) <= 1, 1);          \
        ++m;                                                                                       \
    }
#define MATH2(name, function, x, y)                                                                \
    {                                                                                              \
        volatile double arg1 = x, arg2 = y;                                                        \
        CHECK(name " within 1 ulp", ulps_apart(function(arg1, arg2), expected_math(m)) <= 1, 1);   \
        ++m;                                                                                       \
    }
    PROBE_MATH(MATH1, MATH2)
#undef MATH1
#undef MATH2

    CHECK("long double to long long", (long long)long_double_value, -1234567890123LL);
    CHECK("long long to long double and back", (long long)(long double)long_long_value,
          -987654321098765LL);
    CHECK("long double to unsigned long long", (unsigned long long)(-long_double_value * 1000.0L),
          1234567890123750ULL);
}
