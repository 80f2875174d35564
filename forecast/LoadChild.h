#pragma once

#include <cstdio>

namespace vetorlan {

// The load process: reads its request from `in` up to the "end" line, takes the program
// folder's load lock, runs the load and writes the reply to `out` as the towns come. The end
// of `in` cancels the load. Returns the exit code (LoadChildExit). Needs a QCoreApplication
// and the fetchers installed.
int RunLoadChild(std::FILE* in, std::FILE* out);

} // namespace vetorlan
