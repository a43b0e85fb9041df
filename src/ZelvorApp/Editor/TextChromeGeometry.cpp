#include "ZelvorApp/Editor/TextChromeGeometry.h"

#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"

namespace brisklet {

namespace {

Rect squareAround(Point center, double side) {
    return {{center.x - side / 2, center.y - side / 2}, {side, side}};
}

} // namespace

TextChromeGeometry TextChromeGeometry::make(const Rect& contentRect, double rotation) {
    TextChromeGeometry chrome;
    chrome.contentRect = contentRect;
    chrome.borderRect = ScreenshotEditorGeometry::insetBy(contentRect, -horizontalInset, -verticalInset);
    const Rect& b = chrome.borderRect;
    chrome.deleteRect = squareAround({b.maxX(), b.minY()}, controlSize);
    chrome.resizeHandleRect = squareAround({b.maxX(), b.midY()}, controlSize);
    chrome.rotateHandleRect = squareAround({b.midX(), b.minY() - rotateHandleLift}, controlSize);
    chrome.rotationCenter = {b.midX(), b.midY()};
    chrome.rotation = rotation;
    return chrome;
}

TextChromeTarget TextChromeGeometry::target(Point viewPoint) const {
    const Point p = ScreenshotTextGeometry::rotated(viewPoint, rotationCenter, -rotation);
    const auto hits = [&](const Rect& control) {
        return ScreenshotEditorGeometry::containsInclusive(
            ScreenshotEditorGeometry::insetBy(control, -controlHitSlack, -controlHitSlack), p);
    };
    if (hits(deleteRect)) {
        return TextChromeTarget::deleteButton;
    }
    if (hits(resizeHandleRect)) {
        return TextChromeTarget::resizeHandle;
    }
    if (hits(rotateHandleRect)) {
        return TextChromeTarget::rotateHandle;
    }
    if (ScreenshotEditorGeometry::containsInclusive(borderRect, p)) {
        return TextChromeTarget::body;
    }
    return TextChromeTarget::none;
}

} // namespace brisklet
