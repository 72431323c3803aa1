// samplesstack: writes the samples stack the plug-in looks for beside itself.
//   samplesstack OUT.stk
#include <cstdio>

#include "StackBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: samplesstack OUT.stk\n");
        return 2;
    }
    if (!stackbuilder::WriteFile(argv[1], stackbuilder::BuildStack(stackbuilder::SamplesStack()).bytes)) {
        std::fprintf(stderr, "samplesstack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
