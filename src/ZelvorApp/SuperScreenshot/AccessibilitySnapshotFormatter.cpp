#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace brisklet {

namespace text = memorytext;

namespace {

struct PendingNode {
    const AccessibilitySnapshotNode* node;
    int depth;
};

} // namespace

std::string AccessibilitySnapshotFormatter::line(const AccessibilitySnapshotNode& node) {
    if (node.isSecure) {
        return {};
    }
    std::string joined;
    for (const auto* piece : {&node.title, &node.value, &node.description, &node.selectedText, &node.help}) {
        if (!*piece) {
            continue;
        }
        const std::string normalized = text::normalizedText(**piece);
        if (normalized.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += normalized;
    }
    return joined;
}

AccessibilitySnapshotText AccessibilitySnapshotFormatter::format(const std::optional<AccessibilitySnapshotNode>& root,
                                                                 const AccessibilitySnapshotLimits& limits) {
    AccessibilitySnapshotText result;
    if (!root) {
        return result;
    }
    std::unordered_set<std::string> emitted;
    std::string out;
    std::string lowered;
    // An explicit stack: hand-made or hostile trees may be far deeper than the call stack allows.
    std::vector<PendingNode> pending{{&*root, 0}};
    while (!pending.empty()) {
        const PendingNode current = pending.back();
        pending.pop_back();
        if (result.nodeCount >= limits.maxNodes) {
            result.wasTruncated = true;
            break;
        }
        ++result.nodeCount;
        const std::string content = line(*current.node);
        if (!content.empty()) {
            text::lowercaseInto(content, lowered);
            if (emitted.insert(lowered).second) {
                if (!out.empty()) {
                    out += '\n';
                }
                out.append(static_cast<std::size_t>(2 * std::min(current.depth, maxIndentLevel)), ' ');
                out += content;
            }
        }
        const auto& children = current.node->children;
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            pending.push_back({&*child, current.depth + 1});
        }
    }
    const auto limit = static_cast<std::size_t>(std::max(0, limits.maxCharacters));
    if (out.size() > limit && text::characterCount(out) > limit) {
        out = text::prefixCharacters(out, limit);
        result.wasTruncated = true;
    }
    result.text = std::move(out);
    return result;
}

} // namespace brisklet
