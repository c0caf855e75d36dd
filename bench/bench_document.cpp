#include "bench_document.h"

#include <iostream>

namespace kel::bench {

void StderrMessages::showError(const std::string& text) {
    std::cerr << program_ << ": " << text << "\n";
}

bool StderrMessages::askYesNo(const std::string& text) {
    std::cerr << program_ << ": " << text << " (answered No)\n";
    return false;
}

bool BenchDocument::open(const std::string& path) {
    if (!document_.onOpenDocument(path) || document_.scene() == nullptr) {
        std::cerr << "Could not read the scene file " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace kel::bench
