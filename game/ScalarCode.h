#pragma once
// SCALAR_CODE: compile a function as plain scalar code. The move checks read four
// neighbours and a few cells around each; GCC packs that work into vector registers and takes
// the values out one by one, which costs more than it saves there.

#if defined(__GNUC__) && !defined(__clang__)
#define SCALAR_CODE __attribute__((optimize("no-tree-slp-vectorize", "no-tree-vectorize")))
#else
#define SCALAR_CODE
#endif
