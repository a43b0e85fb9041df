#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Background/BackgroundPreset.h"

#include <QAbstractButton>

namespace brisklet {

/// A rounded chip painted with a background preset's colour or gradient; ringed in the accent
/// when chosen. Used wherever a preset is picked (the editor's background panel, the GIF window).
class BackgroundPresetChip final : public QAbstractButton {
public:
    static constexpr int side = 30;

    /// `appearance` must outlive the chip.
    BackgroundPresetChip(BackgroundPreset::Style style, const ShellAppearance& appearance, QWidget* parent);
    void setStyle(BackgroundPreset::Style style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BackgroundPreset::Style style_;
    const ShellAppearance& appearance_;
};

} // namespace brisklet
