#pragma once
// tavrin-kifu figure: a record's kifu figures written as PNG, SVG or PDF files, by the helper
// program tavrin-kifu-figure (which alone links Qt).

#include <string>
#include <vector>

// args: [--per N] [--restart] [--width W] [--coordinates] FILE OUT. Prints one line per
// figure, "FIGURE k FROM a TO b NOTES n". Returns the exit code (2 for bad arguments).
// In tavrin-kifu it runs the helper found beside the program (or in ../libexec/tavrin) and
// waits for it; program is argv[0].
int figureCommand(const char* program, const std::vector<std::string>& args);
