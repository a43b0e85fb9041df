#include "Platform/Linux/Codec/ParallelZlib.h"

#include <zlib.h>

#include <algorithm>
#include <system_error>
#include <thread>

namespace brisklet {

namespace {

constexpr std::size_t windowSize = 32 * 1024;

struct Part {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    /// The input just before this part, which its matches may refer to.
    const std::uint8_t* dictionary = nullptr;
    std::size_t dictionarySize = 0;
    bool isLast = false;

    std::vector<std::uint8_t> output;
    uLong adler = 0;
    bool ok = false;
};

/// Raw deflate of one part: a sync flush for every part but the last (so the next part's bytes can
/// follow directly), a finish for the last.
void deflatePart(Part& part, int level) {
    part.adler = adler32(adler32(0, nullptr, 0), part.data, static_cast<uInt>(part.size));
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return;
    }
    if (part.dictionarySize > 0) {
        deflateSetDictionary(&stream, part.dictionary, static_cast<uInt>(part.dictionarySize));
    }
    // deflateBound covers a finished stream; a sync flush adds at most a few bytes more.
    part.output.resize(deflateBound(&stream, part.size) + 64);
    stream.next_in = const_cast<Bytef*>(part.data);
    stream.avail_in = static_cast<uInt>(part.size);
    stream.next_out = part.output.data();
    stream.avail_out = static_cast<uInt>(part.output.size());
    const int result = deflate(&stream, part.isLast ? Z_FINISH : Z_SYNC_FLUSH);
    // A flush that filled the buffer to the last byte may not have written all of its output.
    part.ok = part.isLast ? result == Z_STREAM_END : (result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0);
    part.output.resize(part.output.size() - stream.avail_out);
    deflateEnd(&stream);
}

} // namespace

std::optional<std::vector<std::uint8_t>> ParallelZlib::compress(const std::uint8_t* data, std::size_t size, int level,
                                                                unsigned threads) {
    // zlib counts sizes in 32 bits; parts stay well below that.
    constexpr std::size_t maximumPartSize = std::size_t{1} << 30;
    const std::size_t wanted = std::max<std::size_t>(1, std::min<std::size_t>(threads, size / minimumPartSize));
    const std::size_t count = std::max(wanted, (size + maximumPartSize - 1) / maximumPartSize);
    std::vector<Part> parts(count);
    const std::size_t step = (size + count - 1) / count;
    for (std::size_t i = 0; i < count; ++i) {
        Part& part = parts[i];
        const std::size_t begin = std::min(size, i * step);
        part.data = data + begin;
        part.size = std::min(size, begin + step) - begin;
        part.dictionarySize = std::min(begin, windowSize);
        part.dictionary = data + begin - part.dictionarySize;
        part.isLast = i + 1 == count;
    }
    const int clampedLevel = std::clamp(level, 1, 9);
    std::vector<std::thread> workers;
    std::size_t started = 1;
    try {
        for (; started < count; ++started) {
            workers.emplace_back([&parts, started, clampedLevel] { deflatePart(parts[started], clampedLevel); });
        }
    } catch (const std::system_error&) {
        // No more threads to be had: this thread compresses the parts nobody took.
    }
    for (std::size_t i = started; i < count; ++i) {
        deflatePart(parts[i], clampedLevel);
    }
    deflatePart(parts[0], clampedLevel);
    for (std::thread& worker : workers) {
        worker.join();
    }

    std::vector<std::uint8_t> stream{0x78, 0x9C}; // deflate, 32 KiB window, default level; header checksum ok
    uLong adler = adler32(0, nullptr, 0);
    for (const Part& part : parts) {
        if (!part.ok) {
            return std::nullopt;
        }
        stream.insert(stream.end(), part.output.begin(), part.output.end());
        adler = adler32_combine(adler, part.adler, static_cast<z_off_t>(part.size));
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        stream.push_back(static_cast<std::uint8_t>(adler >> shift));
    }
    return stream;
}

} // namespace brisklet
