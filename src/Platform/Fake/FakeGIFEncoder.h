#pragma once

#include "Platform/GIFEncoder.h"

#include <fstream>
#include <optional>
#include <vector>

namespace brisklet {

/// Records what would have been encoded (writing only a stub file), and can be told to fail at
/// a given step.
class FakeGIFEncoder final : public GIFEncoder {
public:
    struct Written {
        std::filesystem::path file;
        int width = 0;
        int height = 0;
        int loopCount = -1;
        int quality = 0;
        std::vector<Image> frames;
        std::vector<int> delays;
        bool finished = false;
    };

    /// What the last `begin` produced (kept after the session is gone).
    const Written& written() const { return *written_; }
    int beginCount() const { return beginCount_; }

    /// Leaves a stub file behind like a real encoder, so callers can move it into place.
    bool createsFiles = false;
    std::optional<GIFEncoderError> failBegin;
    /// Fails the frame with this index (0-based).
    std::optional<std::size_t> failFrameAt;
    std::optional<GIFEncoderError> failFinish;

    Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError> begin(const std::filesystem::path& file, int width,
                                                                      int height, int loopCount, int quality) override {
        using R = Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError>;
        ++beginCount_;
        if (failBegin) {
            return R::failure(*failBegin);
        }
        *written_ = Written{file, width, height, loopCount, quality, {}, {}, false};
        if (createsFiles) {
            std::ofstream(file, std::ios::binary) << "GIF89a";
        }
        return R::success(std::make_unique<Session>(*this));
    }

private:
    class Session final : public GIFEncoderSession {
    public:
        explicit Session(FakeGIFEncoder& owner) : owner_(owner) {}
        Status<GIFEncoderError> addFrame(const Image& frame, int delayHundredths) override {
            auto& w = *owner_.written_;
            if (owner_.failFrameAt && *owner_.failFrameAt == w.frames.size()) {
                return Status<GIFEncoderError>::failure({GIFEncoderError::Kind::encodeFailed, "scripted"});
            }
            if (frame.width() != w.width || frame.height() != w.height) {
                return Status<GIFEncoderError>::failure({GIFEncoderError::Kind::invalidFrame, "size"});
            }
            w.frames.push_back(frame);
            w.delays.push_back(delayHundredths);
            return succeeded<GIFEncoderError>();
        }
        Status<GIFEncoderError> finish() override {
            if (owner_.failFinish) {
                return Status<GIFEncoderError>::failure(*owner_.failFinish);
            }
            owner_.written_->finished = true;
            return succeeded<GIFEncoderError>();
        }

    private:
        FakeGIFEncoder& owner_;
    };

    std::shared_ptr<Written> written_ = std::make_shared<Written>();
    int beginCount_ = 0;
};

} // namespace brisklet
