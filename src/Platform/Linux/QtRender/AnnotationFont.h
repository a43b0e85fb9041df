#pragma once

#include "Platform/AnnotationRenderer.h"

#include <QFont>
#include <QString>

namespace brisklet {

/// The fonts annotations are drawn with: the desktop's general font at semibold for texts, bold
/// for numbers. Sizes are image pixels and may be fractional; Qt fonts take whole pixel sizes,
/// so a fractional size is drawn from the nearest whole size scaled by `scale`.
class AnnotationFont {
public:
    struct Scaled {
        QFont font;
        double scale = 1; ///< multiply the font's own measures by this
    };

    /// `family` empty means the desktop's general font. Needs a QGuiApplication.
    explicit AnnotationFont(QString family);

    Scaled text(double fontSize) const;
    Scaled number(double fontSize) const;

    TextFontMetrics metrics(double fontSize) const;
    double lineWidth(std::string_view line, double fontSize) const;

private:
    Scaled make(double fontSize, QFont::Weight weight) const;

    QString family_;
};

} // namespace brisklet
