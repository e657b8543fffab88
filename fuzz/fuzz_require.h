// How a harness stops on a broken invariant: abort (the fuzzer's crash), after naming the check.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                                          \
    do {                                                                                                 \
        if (!(condition)) {                                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);                 \
            std::abort();                                                                                \
        }                                                                                                \
    } while (false)
