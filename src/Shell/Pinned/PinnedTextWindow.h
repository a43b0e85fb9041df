#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QPlainTextEdit;

namespace brisklet {

class LocalizationStore;

/// A text floating above every window: a header that moves it (double-click does what the
/// preferences say), the text to read and select, copy and close buttons, and a corner grip to
/// size it.
class PinnedTextWindow final : public QWidget {
public:
    struct Callbacks {
        std::function<void(const std::string&)> copy;
        std::function<void()> closed;
    };

    /// Centred on `screen` (global Qt coordinates).
    PinnedTextWindow(const std::string& text, const QRect& screen, const AppPreferences& preferences,
                     const LocalizationStore& localization);
    void setCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }

    QString text() const;
    void closePin(const char* reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    void copyText();

    AppPreferences preferences_;
    const LocalizationStore& localization_;
    Callbacks callbacks_;
    ShellAppearance appearance_;
    QWidget* header_ = nullptr;
    QPlainTextEdit* body_ = nullptr;
    std::optional<QPoint> dragOffset_;
    bool closing_ = false;
};

} // namespace brisklet
