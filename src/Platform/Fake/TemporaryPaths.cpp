#include "Platform/Fake/TemporaryPaths.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace brisklet {

TemporaryPaths::TemporaryPaths() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brisklet-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    root_ = pattern;
    for (const auto& dir : {applicationSupportDirectory(), configDirectory(), temporaryDirectory(), homeDirectory()}) {
        std::filesystem::create_directories(dir);
    }
}

TemporaryPaths::~TemporaryPaths() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

} // namespace brisklet
