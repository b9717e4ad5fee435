#pragma once
// tavrin-kifu figure: a record's kifu figures written as PNG, SVG or PDF files.

#include <string>
#include <vector>

// args: [--per N] [--restart] [--width W] [--coordinates] FILE OUT. Prints one line per
// figure, "FIGURE k FROM a TO b NOTES n". Returns the exit code (2 for bad arguments).
int figureCommand(const char* program, const std::vector<std::string>& args);
