// Lays the sample machine into the Wine prefix, or removes it.
//   sample_machine lay [--no-component] [--office2003-only] [--outlook-express-only]
//                      [--hostile]
//   sample_machine remove
#include "tests/sample/SampleMachine.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "lay") != 0 && std::strcmp(argv[1], "remove") != 0)) {
        std::fprintf(stderr, "usage: sample_machine lay [--no-component] [--office2003-only] "
                             "[--outlook-express-only] [--hostile] | remove\n");
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "remove") == 0) {
            sample::Remove();
            return 0;
        }
        sample::Options options = sample::Standard();
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "--no-component") == 0)
                options.componentMajor = 0;
            else if (std::strcmp(argv[i], "--office2003-only") == 0)
                options.products = {sample::Office2003()}, options.componentMajor = 0;
            else if (std::strcmp(argv[i], "--hostile") == 0)
                options.hostile = true;
            else if (std::strcmp(argv[i], "--outlook-express-only") == 0)
                options.products.clear(), options.outlookExpress = true;
        }
        sample::Lay(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample_machine: %s\n", error.what());
        return 1;
    }
    return 0;
}
