#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"

#include <algorithm>

namespace brisklet {

namespace {

double eventTime(const GIFAnnotationEvent& event) {
    return std::visit([](const auto& e) { return e.time; }, event);
}

struct ReplayEntry {
    GIFPrototypeAnnotation annotation;
    bool isActive = true;
};

} // namespace

std::vector<GIFPrototypeAnnotation> GIFAnnotationTimeline::activeAnnotations(double time) const {
    std::vector<ReplayEntry> order; // display order = order of first addition
    const auto find = [&](const Uuid& id) {
        return std::find_if(order.begin(), order.end(), [&](const ReplayEntry& e) { return e.annotation.id == id; });
    };
    for (const auto& event : events) {
        if (eventTime(event) > time)
            break;
        if (const auto* added = std::get_if<GIFAnnotationAdded>(&event)) {
            if (auto it = find(added->annotation.id); it != order.end()) {
                *it = {added->annotation, true};
            } else {
                order.push_back({added->annotation, true});
            }
        } else if (const auto* off = std::get_if<GIFAnnotationDeactivated>(&event)) {
            if (auto it = find(off->annotationID); it != order.end())
                it->isActive = false;
        } else if (const auto* on = std::get_if<GIFAnnotationReactivated>(&event)) {
            if (auto it = find(on->annotationID); it != order.end())
                it->isActive = true;
        }
    }
    std::vector<GIFPrototypeAnnotation> result;
    for (const auto& entry : order) {
        if (entry.isActive)
            result.push_back(entry.annotation);
    }
    return result;
}

} // namespace brisklet
