#include "Platform/Linux/X11/X11ScreenCapture.h"

#include "Platform/Linux/X11/XcbScreenConnection.h"
#include "Platform/ScreenFrameStream.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace brisklet {

namespace {

/// Plain GetImage replies are limited by the server's maximum request length; strips of this many
/// pixels stay well below it on every server we know.
constexpr std::size_t stripPixelBudget = 1u << 20;
/// How long an unmapped window takes to disappear from the root's contents; the server repaints
/// the exposed background before answering the following GetImage, but clients underneath need
/// a moment to redraw.
constexpr auto unmapSettlingDelay = std::chrono::milliseconds(35);

/// How a 32-bit pixel's colour bits are laid out.
struct PixelLayout {
    int redShift = 16;
    int greenShift = 8;
    int blueShift = 0;
    std::uint32_t redMask = 0xff0000;
    std::uint32_t greenMask = 0xff00;
    std::uint32_t blueMask = 0xff;
    bool bigEndian = false;
    bool supported = false;
};

int shiftOf(std::uint32_t mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask, int shift) {
    const std::uint32_t maximum = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return maximum == 255 ? static_cast<std::uint8_t>(value)
                          : static_cast<std::uint8_t>(maximum == 0 ? 0 : value * 255 / maximum);
}

PixelLayout layoutOf(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    PixelLayout layout;
    layout.bigEndian = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    int bitsPerPixel = 0;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth) {
            bitsPerPixel = it.data->bits_per_pixel;
        }
    }
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem > 0; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0; xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual) {
                layout.redMask = visuals.data->red_mask;
                layout.greenMask = visuals.data->green_mask;
                layout.blueMask = visuals.data->blue_mask;
            }
        }
    }
    layout.redShift = shiftOf(layout.redMask);
    layout.greenShift = shiftOf(layout.greenMask);
    layout.blueShift = shiftOf(layout.blueMask);
    // Depth 24 and 30 screens keep one pixel in 32 bits; 8- and 16-bit screens are left to the
    // command-line fallback.
    layout.supported = bitsPerPixel == 32 && layout.redMask && layout.greenMask && layout.blueMask;
    return layout;
}

/// Little-endian 0x00RRGGBB, what practically every 24- and 32-bit X server sends.
bool isCommonLayout(const PixelLayout& layout) {
    return std::endian::native == std::endian::little && !layout.bigEndian && layout.redMask == 0xff0000 &&
           layout.greenMask == 0xff00 && layout.blueMask == 0xff;
}

/// `convertRows` for the common layout: whole pixels at a time, which the compiler vectorizes
/// (a full-screen capture is millions of pixels, and the per-channel masks cost most of its time).
void convertCommonRows(const std::uint8_t* source, int width, int rows, int firstRow, Image& image) {
    const std::size_t count = static_cast<std::size_t>(width);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = source + static_cast<std::size_t>(y) * count * 4;
        std::uint8_t* out = image.row(firstRow + y);
        for (std::size_t x = 0; x < count; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, in + x * 4, 4);
            // BGRX in memory → RGBA in memory, opaque.
            const std::uint32_t rgba =
                ((pixel >> 16) & 0xffu) | (pixel & 0xff00u) | ((pixel & 0xffu) << 16) | 0xff000000u;
            std::memcpy(out + x * 4, &rgba, 4);
        }
    }
}

/// Copies `rows` rows of Z-pixmap data (32 bits per pixel, no row padding beyond that) into
/// `image` from row `firstRow` on, opaque.
void convertRows(const std::uint8_t* source, int width, int rows, int firstRow, const PixelLayout& layout,
                 Image& image) {
    if (isCommonLayout(layout)) {
        convertCommonRows(source, width, rows, firstRow, image);
        return;
    }
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* out = image.row(firstRow + y);
        const std::uint8_t* in = source + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            const std::uint32_t pixel =
                layout.bigEndian
                    ? (std::uint32_t{in[0]} << 24) | (std::uint32_t{in[1]} << 16) | (std::uint32_t{in[2]} << 8) | in[3]
                    : (std::uint32_t{in[3]} << 24) | (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[1]} << 8) | in[0];
            out[0] = channel(pixel, layout.redMask, layout.redShift);
            out[1] = channel(pixel, layout.greenMask, layout.greenShift);
            out[2] = channel(pixel, layout.blueMask, layout.blueShift);
            out[3] = 255;
        }
    }
}

} // namespace

struct X11ScreenCapture::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
    PixelLayout layout;
    bool hasShm = false;

    /// A shared segment stays attached between captures: recorders capture many frames, and a
    /// fresh segment costs a round trip plus first-touch page faults on both sides every time.
    struct SharedSegment {
        xcb_shm_seg_t id = 0;
        void* memory = nullptr;
        std::size_t bytes = 0;
    };
    SharedSegment segment;
    /// The segment lent before the latest one, kept intact for the next lend to compare with.
    SharedSegment lentBefore;
    /// The size of the latest lend; zero when the latest capture was not one.
    int lentWidth = 0;
    int lentHeight = 0;
    /// One capture at a time uses the segment: captures may come from several queues (a screenshot
    /// while a recording falls back to still captures), and a second one would overwrite the
    /// first one's pixels or replace the segment under it.
    std::mutex segmentMutex;

    ~Connection() {
        releaseSegment();
        std::swap(segment, lentBefore);
        releaseSegment();
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    void releaseSegment() {
        if (segment.memory == nullptr) {
            return;
        }
        xcb_shm_detach(connection, segment.id);
        xcb_flush(connection);
        shmdt(segment.memory);
        segment = SharedSegment{};
    }

    /// A segment of at least `bytes`, attached on the server; false when the server cannot share
    /// memory with us (a remote display).
    bool acquireSegment(std::size_t bytes) {
        if (segment.memory != nullptr && segment.bytes >= bytes) {
            return true;
        }
        releaseSegment();
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0) {
            return false;
        }
        void* memory = shmat(id, nullptr, 0);
        // Marked for removal at once so that a crash never leaks the segment.
        shmctl(id, IPC_RMID, nullptr);
        if (memory == reinterpret_cast<void*>(-1)) {
            return false;
        }
        const xcb_shm_seg_t seg = xcb_generate_id(connection);
        xcb_generic_error_t* error =
            xcb_request_check(connection, xcb_shm_attach_checked(connection, seg, static_cast<std::uint32_t>(id), 0));
        if (error) {
            std::free(error);
            shmdt(memory);
            return false;
        }
        segment = SharedSegment{seg, memory, bytes};
        return true;
    }

    bool captureShared(int x, int y, int width, int height, Image& image) {
        const std::lock_guard lock(segmentMutex);
        lentWidth = lentHeight = 0;
        const bool ok = grabShared(x, y, width, height);
        if (ok) {
            convertRows(static_cast<const std::uint8_t*>(segment.memory), width, height, 0, layout, image);
        }
        return ok;
    }

    /// Fills the segment with the region; the caller holds `segmentMutex`.
    bool grabShared(int x, int y, int width, int height) {
        if (!acquireSegment(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)) {
            return false;
        }
        xcb_generic_error_t* error = nullptr;
        xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(
            connection,
            xcb_shm_get_image(connection, screen->root, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                              static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, segment.id, 0),
            &error);
        const bool ok = reply && !error;
        std::free(reply);
        std::free(error);
        return ok;
    }

    bool capturePlain(int x, int y, int width, int height, Image& image) {
        const int rowsPerStrip = std::max(1, static_cast<int>(stripPixelBudget / static_cast<std::size_t>(width)));
        for (int top = 0; top < height; top += rowsPerStrip) {
            const int rows = std::min(rowsPerStrip, height - top);
            xcb_generic_error_t* error = nullptr;
            xcb_get_image_reply_t* reply = xcb_get_image_reply(
                connection,
                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                              static_cast<std::int16_t>(y + top), static_cast<std::uint16_t>(width),
                              static_cast<std::uint16_t>(rows), ~0u),
                &error);
            const bool complete = reply && !error &&
                                  static_cast<std::size_t>(xcb_get_image_data_length(reply)) >=
                                      static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) * 4;
            if (complete) {
                convertRows(xcb_get_image_data(reply), width, rows, top, layout, image);
            }
            std::free(reply);
            std::free(error);
            if (!complete) {
                return false;
            }
        }
        return true;
    }

    /// Unmaps the viewable windows among `ids`; returns those it unmapped.
    std::vector<xcb_window_t> unmapViewable(const std::vector<std::uint32_t>& ids) {
        std::vector<xcb_window_t> hidden;
        for (const std::uint32_t id : ids) {
            if (id == 0 || std::find(hidden.begin(), hidden.end(), id) != hidden.end()) {
                continue;
            }
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                xcb_unmap_window(connection, id);
                hidden.push_back(id);
            }
            std::free(attributes);
        }
        return hidden;
    }

    void sync() { std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }
};

X11ScreenCapture::X11ScreenCapture(const std::string& displayName) : connection_(std::make_unique<Connection>()) {
    const auto opened = XcbScreenConnection::open(displayName);
    if (!opened) {
        return;
    }
    xcb_connection_t* c = opened->connection;
    connection_->connection = c;
    connection_->screen = opened->screen;
    connection_->layout = layoutOf(xcb_get_setup(c), opened->screen);
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    connection_->hasShm = shm && shm->present;
}

X11ScreenCapture::~X11ScreenCapture() = default;

bool X11ScreenCapture::isConnected() const {
    return connection_->connection != nullptr && connection_->screen != nullptr;
}

bool X11ScreenCapture::usesSharedMemory() const {
    return isConnected() && connection_->hasShm;
}

std::pair<int, int> X11ScreenCapture::rootSize() const {
    if (!isConnected()) {
        return {0, 0};
    }
    return {connection_->screen->width_in_pixels, connection_->screen->height_in_pixels};
}

Result<Image, ScreenCaptureError> X11ScreenCapture::captureRootPixels(int x, int y, int width, int height) {
    return captureRootPixels(x, y, width, height, Image());
}

Result<Image, ScreenCaptureError> X11ScreenCapture::captureRootPixels(int x, int y, int width, int height,
                                                                      Image reuse) {
    if (!isConnected()) {
        return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::missingScreen);
    }
    const auto [rootWidth, rootHeight] = rootSize();
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > rootWidth || y + height > rootHeight) {
        return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::invalidCrop);
    }
    if (!connection_->layout.supported) {
        return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::captureFailed);
    }
    // Every pixel is written below, opaque, so a reused buffer needs no clearing.
    Image image = reuse.width() == width && reuse.height() == height ? std::move(reuse) : Image(width, height);
    // A remote server cannot see our segment; the attach fails and plain GetImage takes over.
    if (connection_->hasShm && connection_->captureShared(x, y, width, height, image)) {
        return Result<Image, ScreenCaptureError>::success(std::move(image));
    }
    if (connection_->capturePlain(x, y, width, height, image)) {
        return Result<Image, ScreenCaptureError>::success(std::move(image));
    }
    return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::captureFailed);
}

bool X11ScreenCapture::lendRootPixels(int x, int y, int width, int height, ScreenPixels& pixels) {
    if (!isConnected() || !connection_->hasShm || !isCommonLayout(connection_->layout)) {
        return false;
    }
    const auto [rootWidth, rootHeight] = rootSize();
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > rootWidth || y + height > rootHeight) {
        return false;
    }
    // The lent pixels stay in their segment after the lock is let go: the caller owns this object,
    // and only its own next capture but one reuses that segment.
    Connection& c = *connection_;
    const std::lock_guard lock(c.segmentMutex);
    if (!c.grabShared(x, y, width, height)) {
        c.lentWidth = c.lentHeight = 0;
        return false;
    }
    const bool hasPrevious = c.lentWidth == width && c.lentHeight == height && c.lentBefore.memory != nullptr;
    pixels = ScreenPixels{static_cast<std::uint8_t*>(c.segment.memory), width, height,
                          static_cast<std::size_t>(width) * 4, true,
                          hasPrevious ? static_cast<const std::uint8_t*>(c.lentBefore.memory) : nullptr};
    // The next grab goes into the other segment, so these pixels are there to compare with.
    std::swap(c.segment, c.lentBefore);
    c.lentWidth = width;
    c.lentHeight = height;
    return true;
}

Result<Image, ScreenCaptureError> X11ScreenCapture::capture(const Rect& rect, const ScreenCaptureContext& context,
                                                            const std::vector<std::uint32_t>& excludingWindowIDs) {
    if (!isConnected()) {
        return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::missingScreen);
    }
    const Rect& desktop = context.virtualDesktopFrame;
    // Outward to whole pixels, then into root coordinates (top-left origin, y down).
    const double left = std::floor(rect.minX());
    const double right = std::ceil(rect.maxX());
    const double bottom = std::floor(rect.minY());
    const double top = std::ceil(rect.maxY());
    const int x = static_cast<int>(left - desktop.minX());
    const int y = static_cast<int>(desktop.maxY() - top);
    const std::vector<xcb_window_t> hidden = connection_->unmapViewable(excludingWindowIDs);
    if (!hidden.empty()) {
        connection_->sync();
        std::this_thread::sleep_for(unmapSettlingDelay);
    }
    auto image = captureRootPixels(x, y, static_cast<int>(right - left), static_cast<int>(top - bottom));
    for (const xcb_window_t window : hidden) {
        xcb_map_window(connection_->connection, window);
    }
    if (!hidden.empty()) {
        xcb_flush(connection_->connection);
    }
    return image;
}

} // namespace brisklet
