#include "Platform/Linux/X11/X11CursorImage.h"

#include "Platform/Linux/X11/XcbScreenConnection.h"
#include "Platform/ScreenFrameStream.h"

#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>

namespace brisklet {

struct X11CursorImage::Connection {
    xcb_connection_t* connection = nullptr;
    bool hasXFixes = false;
    std::uint32_t serial = 0;
    std::shared_ptr<const Image> image;

    ~Connection() {
        if (connection) {
            xcb_disconnect(connection);
        }
    }
};

X11CursorImage::X11CursorImage(const std::string& displayName) : connection_(std::make_unique<Connection>()) {
    auto opened = XcbScreenConnection::open(displayName);
    if (!opened) {
        return;
    }
    connection_->connection = opened->connection;
    // The cursor image request exists from XFixes 2 on; the version must be asked for first.
    auto* reply = xcb_xfixes_query_version_reply(connection_->connection,
                                                 xcb_xfixes_query_version(connection_->connection, 4, 0), nullptr);
    connection_->hasXFixes = reply && reply->major_version >= 2;
    std::free(reply);
}

X11CursorImage::~X11CursorImage() = default;

bool X11CursorImage::isAvailable() const {
    return connection_->hasXFixes;
}

std::optional<X11CursorImage::Cursor> X11CursorImage::current() {
    if (!connection_->hasXFixes) {
        return std::nullopt;
    }
    xcb_connection_t* c = connection_->connection;
    auto* reply = xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr);
    if (!reply) {
        return std::nullopt;
    }
    Cursor cursor;
    cursor.x = reply->x - reply->xhot;
    cursor.y = reply->y - reply->yhot;
    if (!connection_->image || reply->cursor_serial != connection_->serial) {
        // Pixels arrive as premultiplied ARGB in 32-bit words.
        const std::uint32_t* argb = xcb_xfixes_get_cursor_image_cursor_image(reply);
        auto image = std::make_shared<Image>(reply->width, reply->height);
        for (int y = 0; y < reply->height; ++y) {
            for (int x = 0; x < reply->width; ++x) {
                const std::uint32_t p = argb[static_cast<std::size_t>(y) * reply->width + x];
                const int a = static_cast<int>(p >> 24);
                const auto straight = [a](std::uint32_t v) {
                    return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (v * 255 + a / 2) / a));
                };
                image->setPixel(x, y, straight((p >> 16) & 0xff), straight((p >> 8) & 0xff), straight(p & 0xff),
                                static_cast<std::uint8_t>(a));
            }
        }
        connection_->image = std::move(image);
        connection_->serial = reply->cursor_serial;
    }
    std::free(reply);
    cursor.image = connection_->image;
    return cursor;
}

void X11CursorImage::draw(Image& frame, const Cursor& cursor, int originX, int originY) {
    ScreenPixels pixels{frame.data(), frame.width(), frame.height(), frame.bytesPerRow(), false};
    draw(pixels, cursor, originX, originY);
}

void X11CursorImage::draw(ScreenPixels& frame, const Cursor& cursor, int originX, int originY) {
    if (!cursor.image) {
        return;
    }
    const Image& image = *cursor.image;
    const int left = cursor.x - originX;
    const int top = cursor.y - originY;
    const int x0 = std::max(0, left);
    const int y0 = std::max(0, top);
    const int x1 = std::min(frame.width, left + image.width());
    const int y1 = std::min(frame.height, top + image.height());
    // Where the cursor's red, green and blue go in the frame's pixels.
    const int order[3] = {frame.isBGRX ? 2 : 0, 1, frame.isBGRX ? 0 : 2};
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* from = image.row(y - top) + static_cast<std::size_t>(x0 - left) * 4;
        std::uint8_t* to = frame.data + static_cast<std::size_t>(y) * frame.bytesPerRow + static_cast<std::size_t>(x0) * 4;
        for (int x = x0; x < x1; ++x, from += 4, to += 4) {
            const int a = from[3];
            if (a == 0) {
                continue;
            }
            for (int channel = 0; channel < 3; ++channel) {
                std::uint8_t& target = to[order[channel]];
                target = static_cast<std::uint8_t>((from[channel] * a + target * (255 - a) + 127) / 255);
            }
            to[3] = 255;
        }
    }
}

} // namespace brisklet
