#include "Platform/Linux/QtRender/AnnotationFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

/// Without a running Qt application there are no fonts; measuring then falls back to a rough
/// estimate instead of crashing (rendering refuses to run at all).
bool fontsAvailable() {
    return QGuiApplication::instance() != nullptr;
}

} // namespace

AnnotationFont::AnnotationFont(QString family) : family_(std::move(family)) {
    if (family_.isEmpty() && fontsAvailable()) {
        family_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
}

AnnotationFont::Scaled AnnotationFont::make(double fontSize, QFont::Weight weight) const {
    const double size = std::isfinite(fontSize) ? std::clamp(fontSize, 1.0, 4000.0) : 12.0;
    const int pixels = std::max(1, static_cast<int>(std::lround(size)));
    QFont font(family_);
    font.setPixelSize(pixels);
    font.setWeight(weight);
    // Unhinted outlines measure the same on every paint device, so the box the editor computes
    // is the box that gets drawn, at any zoom.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return {font, size / pixels};
}

AnnotationFont::Scaled AnnotationFont::text(double fontSize) const {
    return make(fontSize, QFont::DemiBold);
}

AnnotationFont::Scaled AnnotationFont::number(double fontSize) const {
    return make(fontSize, QFont::Bold);
}

TextFontMetrics AnnotationFont::metrics(double fontSize) const {
    if (!fontsAvailable()) {
        return {0.8 * fontSize, -0.2 * fontSize, 0};
    }
    const Scaled scaled = text(fontSize);
    const QFontMetricsF m(scaled.font);
    return {m.ascent() * scaled.scale, -m.descent() * scaled.scale, m.leading() * scaled.scale};
}

double AnnotationFont::lineWidth(std::string_view line, double fontSize) const {
    if (!fontsAvailable()) {
        return 0.6 * fontSize * static_cast<double>(line.size());
    }
    const Scaled scaled = text(fontSize);
    const QFontMetricsF m(scaled.font);
    return m.horizontalAdvance(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))) * scaled.scale;
}

} // namespace brisklet
