// The stack reporter (tools/stackreport) that tests run on the stacks they saved.
#pragma once

#include <string>

// Its path as Windows names it: under the build folder ctest gives (LOOM_BUILD), else beside
// this program.
std::string StackReporterPath();
