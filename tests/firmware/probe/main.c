// SPDX-License-Identifier: MIT
/* Checks arithmetic that needs the runtime library, initialised and zeroed
 * globals of odd sizes, a table of function pointers and a string literal.
 * Each operand is read from a volatile global, so that the board computes the
 * result, while the expected value is folded by the compiler. */
#include "probe.h"

#include <assert.h>
#include <stdlib.h>

struct probe_result probe_results[PROBE_MAX_RESULTS];
unsigned long probe_count;
unsigned long probe_stage;
struct probe_text probe_texts[PROBE_MAX_TEXTS];
unsigned long probe_text_count;
volatile int probe_ending = PROBE_RETURN;

/* Odd-sized globals, initialised and zeroed, with aligned ones after them. */
char odd_initialised[3] = {'o', 'd', 'd'};
char odd_zeroed[5];
short after_odd_initialised = 0x1234;
long after_odd_zeroed;

static volatile long s32_a = -1234567L, s32_b = 89L;
static volatile unsigned long u32_a = 0xFFFFFFF0UL, u32_b = 7UL;
static volatile long long s64_a = -9876543210987LL, s64_b = 12345LL;
static volatile unsigned long long u64_a = 0xFEDCBA9876543210ULL, u64_b = 0x12345ULL;
static volatile int shift = 37;
static volatile float f_a = 1.5f, f_b = 2.25f, f_c = 1.1f, f_d = -0.3f, f_e = -1234.75f;
static volatile double d_a = 1.1, d_b = 2.2, d_c = -12345.75, d_d = 3.0e9;
static volatile double d_e = 1.0e15;
static volatile unsigned long long u64_big = 0xFEDCBA9876543210ULL;

static int add(int x, int y)
{
    return x + y;
}
static int subtract(int x, int y)
{
    return x - y;
}
static int multiply(int x, int y)
{
    return x * y;
}
int (*operations[])(int, int) = {add, subtract, multiply};
static volatile int operation_index = 2;

#define CHECK_FLOAT(name, actual, expected)                                                        \
    CHECK(name, probe_float_bits(actual), probe_float_bits(expected))
#define CHECK_DOUBLE(name, actual, expected)                                                       \
    CHECK(name, probe_double_bits(actual), probe_double_bits(expected))

void probe_record(const char *name, unsigned long long actual, unsigned long long expected)
{
    if (probe_count < PROBE_MAX_RESULTS) {
        probe_results[probe_count].name = name;
        probe_results[probe_count].actual = actual;
        probe_results[probe_count].expected = expected;
        ++probe_count;
    }
}

void probe_record_text(const char *name, const char *actual, const char *expected)
{
    if (probe_text_count < PROBE_MAX_TEXTS) {
        struct probe_text *text = &probe_texts[probe_text_count++];
        unsigned long i = 0;
        for (; actual[i] != '\0' && i + 1 < sizeof text->actual; ++i)
            text->actual[i] = actual[i];
        text->actual[i] = '\0';
        text->name = name;
        text->expected = expected;
    }
}

unsigned long probe_seed(void)
{
    return (unsigned long)s32_b;
}

/* The program's own handler for TRAP #0 (vector 32), in place of the pack's. */
static volatile unsigned long traps_taken;

__attribute__((interrupt)) void vector_handler_32(void)
{
    ++traps_taken;
}

/* Never called by the program: the test jumps here to take an exception that
 * no handler claims. */
__asm__(".text\n"
        ".globl probe_illegal_instruction\n"
        "probe_illegal_instruction:\n"
        "illegal\n");

int main(void)
{
    CHECK("long / long", s32_a / s32_b, -1234567L / 89L);
    CHECK("long % long", s32_a % s32_b, -1234567L % 89L);
    CHECK("long * long", s32_a * s32_b, -1234567L * 89L);
    CHECK("unsigned long / unsigned long", u32_a / u32_b, 0xFFFFFFF0UL / 7UL);
    CHECK("unsigned long % unsigned long", u32_a % u32_b, 0xFFFFFFF0UL % 7UL);
    CHECK("long long / long long", s64_a / s64_b, -9876543210987LL / 12345LL);
    CHECK("long long % long long", s64_a % s64_b, -9876543210987LL % 12345LL);
    CHECK("long long * long long", s64_a * s64_b, -9876543210987LL * 12345LL);
    CHECK("unsigned long long / unsigned long long", u64_a / u64_b,
          0xFEDCBA9876543210ULL / 0x12345ULL);
    CHECK("unsigned long long % unsigned long long", u64_a % u64_b,
          0xFEDCBA9876543210ULL % 0x12345ULL);
    CHECK("long long >> n", s64_a >> shift, -9876543210987LL >> 37);
    CHECK("unsigned long long << n", u64_a << shift, 0xFEDCBA9876543210ULL << 37);

    CHECK_FLOAT("float + float", f_a + f_b, 1.5f + 2.25f);
    CHECK_FLOAT("float + negative float", f_c + f_d, 1.1f + -0.3f);
    CHECK_FLOAT("float * float", f_c * f_d, 1.1f * -0.3f);
    CHECK_FLOAT("float / float", f_c / f_b, 1.1f / 2.25f);
    CHECK("float < float", f_d < f_c, 1);
    CHECK_DOUBLE("double + double", d_a + d_b, 1.1 + 2.2);
    CHECK_DOUBLE("double - double", d_a - d_b, 1.1 - 2.2);
    CHECK_DOUBLE("double * double", d_a * d_c, 1.1 * -12345.75);
    CHECK_DOUBLE("double / double", d_b / d_a, 2.2 / 1.1);
    CHECK("double > double", d_c > d_a, 0);

    CHECK_DOUBLE("long to double", (double)s32_a, (double)-1234567L);
    CHECK_DOUBLE("unsigned long to double", (double)u32_a, (double)0xFFFFFFF0UL);
    CHECK_DOUBLE("long long to double", (double)s64_a, (double)-9876543210987LL);
    CHECK_DOUBLE("unsigned long long to double", (double)u64_big, (double)0xFEDCBA9876543210ULL);
    CHECK_FLOAT("long to float", (float)s32_a, (float)-1234567L);
    CHECK_FLOAT("unsigned long long to float", (float)u64_big, (float)0xFEDCBA9876543210ULL);
    CHECK_DOUBLE("float to double", (double)f_c, (double)1.1f);
    CHECK_FLOAT("double to float", (float)d_a, (float)1.1);
    CHECK("double to long", (long)d_c, (long)-12345.75);
    CHECK("double to unsigned long", (unsigned long)d_d, (unsigned long)3.0e9);
    CHECK("double to long long", (long long)d_e, (long long)1.0e15);
    CHECK("float to long", (long)f_e, (long)-1234.75f);
    CHECK("float to unsigned long long", (unsigned long long)f_b, (unsigned long long)2.25f);

    CHECK("function pointer table", operations[operation_index](6, 7), 42);
    CHECK("odd-sized initialised global",
          (odd_initialised[0] << 16) | (odd_initialised[1] << 8) | odd_initialised[2],
          ('o' << 16) | ('d' << 8) | 'd');
    CHECK("global after an odd-sized one", after_odd_initialised, 0x1234);
    CHECK("odd-sized zeroed global", odd_zeroed[0] | odd_zeroed[4] | after_odd_zeroed, 0);
    const char *greeting = probe_greeting();
    unsigned long length = 0;
    while (greeting[length] != '\0')
        ++length;
    CHECK("odd-length string literal", length, sizeof("Hi robot") - 1);
    CHECK("odd-length string literal's last character", greeting[length - 1], 't');
    CHECK("C++ global constructor", probe_constructed(), 89UL * 3 + 1);
    __asm__ volatile("trap #0");
    CHECK("TRAP #0 through the program's own handler", traps_taken, 1);

    probe_check_library();
    probe_check_floating_point();
    probe_check_cxx();

    /* Not a switch: its jump table would read as unknown instructions. */
    if (probe_ending == PROBE_ASSERT)
        assert(probe_count == 0);
    else if (probe_ending == PROBE_ABORT)
        abort();
    else if (probe_ending == PROBE_EXIT)
        exit(3);
    else if (probe_ending == PROBE_PURE_VIRTUAL)
        probe_end_through_pure_virtual_call();
    probe_stage = PROBE_MAIN_RETURNED;
    return PROBE_RETURN_VALUE;
}
