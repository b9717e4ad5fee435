#pragma once
// Checks shared by the fuzz targets: a broken expectation aborts, which libFuzzer reports
// as a crash with the input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_EXPECT(cond)                                                       \
    do {                                                                        \
        if (!(cond)) {                                                          \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__,   \
                         __LINE__, #cond);                                      \
            std::abort();                                                       \
        }                                                                       \
    } while (0)
