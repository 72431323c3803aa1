// makestack: writes the demo stack, or the fuzz seed stacks, with the test-stack builder.
//   makestack OUT.stk          the demo stack (three cards with pictures, objects, resources)
//   makestack --seeds DIR      one file per seed stack, DIR/<name>.stk
#include <cstdio>
#include <cstring>
#include <string>

#include "StackBuilder.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0) {
        for (const auto& [name, stack] : stackbuilder::SeedStacks()) {
            std::string path = std::string(argv[2]) + "/" + name + ".stk";
            if (!stackbuilder::WriteFile(path, stackbuilder::BuildStack(stack).bytes)) {
                std::fprintf(stderr, "makestack: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: makestack OUT.stk | makestack --seeds DIR\n");
        return 2;
    }
    if (!stackbuilder::WriteFile(argv[1], stackbuilder::BuildStack(stackbuilder::DemoStack()).bytes)) {
        std::fprintf(stderr, "makestack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
