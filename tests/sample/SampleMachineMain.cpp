// Lays the sample machine into the Wine prefix, or removes it.
//   sample_machine lay [--no-component] [--office2003-only] [--outlook-express-only]
//                      [--extra-classes] [--hostile]
//   sample_machine lay --m365 | --ltsc2021 | --office2016 | --office2013c2r | --office2010
//   sample_machine remove
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "lay") != 0 && std::strcmp(argv[1], "remove") != 0)) {
        std::fprintf(stderr,
                     "usage: sample_machine lay [--no-component] [--office2003-only] "
                     "[--outlook-express-only] [--extra-classes] [--hostile] | lay --m365 | "
                     "lay --ltsc2021 | lay --office2016 | lay --office2013c2r | "
                     "lay --office2010 | remove\n");
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "remove") == 0) {
            sample::Remove();
            return 0;
        }
        for (const sample::ModernMachine& machine : sample::kModernMachines)
            if (argc > 2 && std::strcmp(argv[2], machine.option) == 0) {
                machine.lay();
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
            else if (std::strcmp(argv[i], "--extra-classes") == 0)
                options.extraClasses = 10000;
        }
        sample::Lay(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample_machine: %s\n", error.what());
        return 1;
    }
    return 0;
}
