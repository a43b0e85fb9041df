#include "main/StitchCommand.h"
#include "main/CommandImageInput.h"

#include "Platform/ImageCodec.h"
#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotFixedBarConsensus.h"
#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace brisklet {

namespace {

struct StitchArguments {
    std::vector<std::string> frames;
    std::optional<std::string> output;
    LongshotCropOptions cropOptions = LongshotCropOptions::automatic();
    std::optional<std::string> error;
};

StitchArguments parse(const std::vector<std::string>& args) {
    StitchArguments parsed;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                parsed.error = arg + " needs a file name";
            } else {
                parsed.output = args[++i];
            }
        } else if (arg.rfind("--output=", 0) == 0) {
            parsed.output = arg.substr(9);
        } else if (arg == "--no-header-crop") {
            parsed.cropOptions.ignoreTopFixedBar = false;
        } else if (arg == "--no-footer-crop") {
            parsed.cropOptions.ignoreBottomFixedBar = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else {
            parsed.frames.push_back(arg);
        }
    }
    if (!parsed.error && parsed.frames.empty()) {
        parsed.error = "no frames given";
    } else if (!parsed.error && (!parsed.output || parsed.output->empty())) {
        parsed.error = "no output file given (-o OUT.png)";
    }
    return parsed;
}

std::string sizeText(const Image& image) {
    return std::to_string(image.width()) + "x" + std::to_string(image.height());
}

std::string matchText(const LongshotOverlapMatch& m) {
    char buffer[192];
    std::snprintf(buffer, sizeof buffer,
                  "shift=%d overlap=%d topFixed=%d bottomFixed=%d leftFixed=%d rightFixed=%d score=%.3f", m.seamOffset,
                  m.overlapPixels, m.headerExclusionHeight, m.footerExclusionHeight, m.leftExclusionWidth,
                  m.rightExclusionWidth, m.score);
    return buffer;
}

} // namespace

int runStitchCommand(const std::vector<std::string>& args, const ImageCodec& codec, std::ostream& out,
                     std::ostream& err) {
    const StitchArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet stitch: " << *arguments.error
            << "\nUsage: brisklet stitch FRAME.png... -o OUT.png [--no-header-crop] [--no-footer-crop]\n";
        return 2;
    }
    const std::filesystem::path output = *arguments.output;
    std::error_code ignored;
    if (std::filesystem::exists(output, ignored)) {
        err << "brisklet stitch: " << output.string() << " already exists; choose a new file name\n";
        return 1;
    }
    const auto frames = readSameSizeFrames(codec, arguments.frames, "brisklet stitch",
                                           "frames of one scrolling capture share one size", err);
    if (!frames) {
        return 1;
    }

    OpenCVImageRegistration registration;
    const LongshotComposer composer(registration);
    LongshotFrameClassifier classifier(composer);
    LongshotAnalysisOptions options;
    options.minProgressPixels = LongshotConfig{}.minProgressPixels;
    options.cropOptions = arguments.cropOptions;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;

    // One line per frame, printed once all are judged: a frame skipped at first is kept later
    // when the next frame lines up with it.
    std::vector<std::string> verdicts(frames->size());
    std::vector<AcceptedLongshotFrame> accepted;
    std::vector<std::size_t> acceptedIndex;
    int guessed = 0;
    for (std::size_t i = 0; i < frames->size(); ++i) {
        const auto last = accepted.empty() ? nullptr : accepted.back().image;
        const auto analysis = classifier.classify(last, (*frames)[i], options);
        if (const auto* kept = std::get_if<LongshotFrameAccepted>(&analysis)) {
            if (kept->recovered) {
                const auto seen = std::find(frames->begin(), frames->end(), kept->recovered->image);
                const auto index = static_cast<std::size_t>(seen - frames->begin());
                verdicts[index] = "accepted " + matchText(*kept->recovered->match) +
                                  " seam guessed (only the next frame lines up with it)";
                accepted.push_back(*kept->recovered);
                acceptedIndex.push_back(index);
                ++guessed;
            }
            verdicts[i] = kept->frame.match ? "accepted " + matchText(*kept->frame.match) : "accepted (first frame)";
            if (kept->seam == LongshotSeamSource::guessed) {
                verdicts[i] += " seam guessed (blank overlap)";
                ++guessed;
            } else if (kept->seam == LongshotSeamSource::expectedStep) {
                verdicts[i] += " seam from the scroll step (blank overlap)";
            }
            accepted.push_back(kept->frame);
            acceptedIndex.push_back(i);
        } else if (const auto* unmatched = std::get_if<LongshotFrameUnmatched>(&analysis)) {
            verdicts[i] = "skipped, no reliable match " + matchText(unmatched->match);
        } else {
            verdicts[i] = "skipped, nothing moved since the last accepted frame";
        }
    }
    for (std::size_t i = 0; i < frames->size(); ++i) {
        out << "frame " << i + 1 << " " << arguments.frames[i] << ": " << verdicts[i] << "\n";
    }

    const auto composed = LongshotComposer::compose(accepted, arguments.cropOptions);
    if (!composed) {
        err << "brisklet stitch: the frames could not be stitched\n";
        return 1;
    }
    const auto encoded = codec.encode(*composed, ImageFormat::png);
    if (!encoded) {
        err << "brisklet stitch: cannot encode the stitched image (" << toString(encoded.error()) << ")\n";
        return 1;
    }
    if (const auto error = writeNewFileAtomically(output, encoded.value())) {
        if (error == std::errc::file_exists) {
            err << "brisklet stitch: " << output.string() << " already exists; choose a new file name\n";
        } else {
            err << "brisklet stitch: cannot write " << output.string() << ": " << error.message() << "\n";
        }
        return 1;
    }
    const auto bars = LongshotFixedBarConsensus::resolve(accepted, arguments.cropOptions);
    out << "Stitched " << accepted.size() << " of " << frames->size() << " frames into " << output.string() << " ("
        << sizeText(*composed) << "); seams guessed: " << guessed
        << "; bars found: header=" << LongshotComposer::refinedHeaderHeight(accepted, bars.top)
        << " footer=" << bars.bottom << "\n";
    return 0;
}

} // namespace brisklet
