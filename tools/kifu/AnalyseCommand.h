#pragma once
// tavrin-kifu analyse: a record's main line reviewed by a GTP engine, written back reviewed,
// by the helper program tavrin-kifu-analyse (which alone links Qt Core for the engine's
// processes).

#include <string>
#include <vector>

// args: [--engine COMMAND] [--level N] FILE OUT. Prints one line per move, "57 Q16 B+3.5 R17"
// (the move's number and point, Black's lead after it, the engine's better move when it is
// another). Returns the exit code (2 for bad arguments). In tavrin-kifu it runs the helper
// found beside the program (or in ../libexec/tavrin) and waits for it; program is argv[0].
int analyseCommand(const char* program, const std::vector<std::string>& args);
