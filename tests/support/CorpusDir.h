#pragma once
// The folder of real game records; tests skip when it is absent.
#include <filesystem>
#include <string>

#ifndef TAVRIN_CORPUS_DIR
#define TAVRIN_CORPUS_DIR ""
#endif

namespace tavrin::test {
inline std::filesystem::path corpusDir() { return std::filesystem::path(TAVRIN_CORPUS_DIR); }
inline bool haveCorpus() {
    std::error_code ec;
    return !corpusDir().empty() && std::filesystem::is_directory(corpusDir(), ec);
}
}  // namespace tavrin::test
#define SKIP_WITHOUT_CORPUS() \
    if (!::tavrin::test::haveCorpus()) GTEST_SKIP() << "corpus folder absent"
