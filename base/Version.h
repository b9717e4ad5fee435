#pragma once
// The program's version record, fixed at build time. Pure C++.

#include <string>

namespace tavrin {

// The value of key in the version record: "FileVersion" "0.5.1.20", "ProductVersion" "0.5",
// and a few descriptive keys; an empty text for any other key.
std::string GetVersionInfo(const std::string& key);

}  // namespace tavrin
