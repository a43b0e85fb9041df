#pragma once

#include "Platform/Pasteboard.h"

#include <QMetaObject>

#include <atomic>

namespace brisklet {

/// The X11 CLIPBOARD selection through Qt. Qt watches selection ownership (XFixes) and reports
/// every change, ours and other applications', which drives the change count.
class QtPasteboard final : public Pasteboard {
public:
    QtPasteboard();
    ~QtPasteboard() override;

    std::int64_t changeCount() const override { return changeCount_.load(); }
    void clearContents() override;
    void writeImage(const Image& image) override;
    void writeFileURL(const std::filesystem::path& file) override;
    void writeText(const std::string& text) override;
    std::optional<std::string> readText() const override;
    std::optional<Image> readImage() const override;

private:
    std::atomic<std::int64_t> changeCount_{0};
    QMetaObject::Connection connection_;
};

} // namespace brisklet
