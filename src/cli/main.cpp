#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/render_command.h"
#include "platform/heap_policy.h"

int main(int argc, char** argv) {
    // Past a file-size limit a write should fail and be reported, with the old file kept
    // and the temporary removed, rather than end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    kel::prepareHeapForModels();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return kel::runKelRender(args, std::cout, std::cerr);
}
