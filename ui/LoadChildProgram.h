#pragma once

namespace vetorlan {

// Whether the program was started as a load process (its only argument is the load role).
bool IsLoadChildRole(int argc, char** argv);

// The load process: a console application with the fetchers installed, and nothing else.
int RunLoadChildProgram(int argc, char** argv);

} // namespace vetorlan
