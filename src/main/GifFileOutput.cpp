#include "main/GifFileOutput.h"

#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

bool writeNewGifFile(const std::vector<CapturedGIFFrame>& frames, int fps, double duration, int quality,
                     const GIFFileWriter::FrameRenderer& renderer, const std::filesystem::path& output,
                     GIFEncoder& encoder, const Clock& clock, const std::string& command, std::ostream& err) {
    std::error_code error;
    const auto temporary = makeSiblingTemporaryFile(output, error);
    if (temporary.empty()) {
        err << command << ": cannot create a file beside " << output.string() << ": " << error.message() << "\n";
        return false;
    }
    const GIFFileWriter writer(encoder, clock, quality);
    const auto written = writer.writeGIFFile(frames, fps, duration, temporary, {}, {}, renderer);
    if (!written) {
        std::filesystem::remove(temporary, error);
        err << command << ": cannot encode " << output.string() << " (" << toString(written.error().error) << ": "
            << written.error().detail << ")\n";
        return false;
    }
    if (const auto moved = moveIntoPlaceWithoutOverwriting(temporary, output)) {
        std::filesystem::remove(temporary, error);
        if (moved == std::errc::file_exists) {
            err << command << ": " << output.string() << " already exists; choose a new file name\n";
        } else {
            err << command << ": cannot write " << output.string() << ": " << moved.message() << "\n";
        }
        return false;
    }
    return true;
}

} // namespace brisklet
