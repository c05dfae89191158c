// SPDX-License-Identifier: MIT
// The C++ runtime as ordinary firmware uses it: virtual destructors, new and
// delete of objects and arrays, placement new, a function-local static, a
// pure virtual call, and 40 globals whose destructors must run after main(),
// last constructed first, after a handler main() registers with atexit().
#include "probe.h"

#include <new>
#include <stdlib.h>

// Read by the test once the board has stopped.
extern "C" {
unsigned long probe_destroyed_in_order;
unsigned long probe_atexit_before_destructors;
}

// Calls work() from the constructor, while the object is still a
// ProbePureCaller, through a pointer the compiler cannot see through. Outside
// the anonymous namespace, so that the compiler cannot know every class
// derived from it and call PureDerived's work() directly.
struct ProbePureCaller;
void (*volatile probe_call_work)(ProbePureCaller *);
struct ProbePureCaller
{
    ProbePureCaller() { probe_call_work(this); }
    virtual ~ProbePureCaller() = default;
    virtual void work() = 0;
};
struct ProbePureDerived : ProbePureCaller
{
    void work() override {}
};

namespace {

int live_shapes;

struct Shape
{
    Shape() { ++live_shapes; }
    virtual ~Shape() { --live_shapes; }
    virtual long area() const = 0;
};

struct Rectangle : Shape
{
    Rectangle(long w, long h) : width(w), height(h) {}
    ~Rectangle() override { width = 0; }
    long area() const override { return width * height; }
    long width, height;
};

struct Counter
{
    Counter() : value(probe_seed() + 1) { ++constructions; }
    long value;
    static int constructions;
};
int Counter::constructions;

long counted()
{
    static Counter counter; // guarded: constructed once, on first use
    return counter.value++;
}

// 40 globals with destructors: more than the 32 entries of the C library's
// first block of exit handlers.
constexpr int Sentries = 40;
int constructed_sentries;
int next_destroyed = -1;

struct Sentry
{
    Sentry() : index(constructed_sentries++) {}
    ~Sentry()
    {
        if (next_destroyed < 0)
            next_destroyed = Sentries - 1;
        if (index == next_destroyed--)
            ++probe_destroyed_in_order;
    }
    int index;
};

Sentry s01, s02, s03, s04, s05, s06, s07, s08, s09, s10, s11, s12, s13, s14, s15, s16, s17, s18,
    s19, s20, s21, s22, s23, s24, s25, s26, s27, s28, s29, s30, s31, s32, s33, s34, s35, s36, s37,
    s38, s39, s40;

void before_destructors()
{
    probe_atexit_before_destructors = next_destroyed < 0;
}

} // namespace

extern "C" void probe_end_through_pure_virtual_call(void)
{
    probe_call_work = [](ProbePureCaller *caller) {
        caller->work();
    };
    ProbePureDerived derived;
}

extern "C" void probe_check_cxx(void)
{
    Shape *shape = new Rectangle(6, 7);
    CHECK("virtual call", shape->area(), 42);
    CHECK("new constructs", live_shapes, 1);
    delete shape; // virtual destructor, sized operator delete
    CHECK("delete through the base destroys", live_shapes, 0);

    Rectangle *row = new Rectangle[5]{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
    CHECK("new[] constructs each", live_shapes, 5);
    CHECK("new[] element", row[4].area(), 90);
    delete[] row;
    CHECK("delete[] destroys each", live_shapes, 0);

    alignas(Rectangle) unsigned char room[sizeof(Rectangle)];
    Rectangle *placed = new (room) Rectangle(2, 21);
    CHECK("placement new", placed == reinterpret_cast<Rectangle *>(room) && placed->area() == 42,
          1);
    placed->~Rectangle();

    long first = counted();
    long second = counted();
    CHECK("function-local static", second - first == 1 && Counter::constructions == 1, 1);
    CHECK("globals constructed before main", constructed_sentries, Sentries);
    CHECK("atexit", atexit(before_destructors), 0);
}
