#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Json.h"

namespace brisklet {

enum class RecordingOutputFormat { gif, mp4, mov };
enum class RecordingQuality { low, medium, high };
enum class RecordingAudioMode { none, system };

template <> struct EnumTraits<RecordingOutputFormat> {
    static constexpr std::array<std::pair<RecordingOutputFormat, std::string_view>, 3> names{{
        {RecordingOutputFormat::gif, "gif"},
        {RecordingOutputFormat::mp4, "mp4"},
        {RecordingOutputFormat::mov, "mov"},
    }};
};

template <> struct EnumTraits<RecordingQuality> {
    static constexpr std::array<std::pair<RecordingQuality, std::string_view>, 3> names{{
        {RecordingQuality::low, "low"},
        {RecordingQuality::medium, "medium"},
        {RecordingQuality::high, "high"},
    }};
};

template <> struct EnumTraits<RecordingAudioMode> {
    static constexpr std::array<std::pair<RecordingAudioMode, std::string_view>, 2> names{{
        {RecordingAudioMode::none, "none"},
        {RecordingAudioMode::system, "system"},
    }};
};

/// How a region or window recording is made (GIF or video).
struct RecordingOptions {
    RecordingOutputFormat outputFormat = RecordingOutputFormat::gif;
    RecordingQuality quality = RecordingQuality::medium;
    RecordingAudioMode audioMode = RecordingAudioMode::none;
    bool showsCursor = true;
    bool showsClickEffects = true;

    bool operator==(const RecordingOptions&) const = default;
};

void read(const Json& j, RecordingOptions& out);
Json write(const RecordingOptions& value);

} // namespace brisklet
