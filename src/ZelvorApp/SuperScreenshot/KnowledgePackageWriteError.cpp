#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriteError.h"

namespace brisklet {

std::string KnowledgePackageWriteError::description() const {
    std::string out = std::string(toString(step)) + " " + path.string() + ": ";
    if (codecError) {
        out += toString(*codecError);
    } else {
        out += code.message();
    }
    return out;
}

} // namespace brisklet
