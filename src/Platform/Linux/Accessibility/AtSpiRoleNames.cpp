#include "Platform/Linux/Accessibility/AtSpiRoleNames.h"

#include <array>

namespace brisklet {

namespace {

// In the order of AT-SPI's role numbers, 0 to 129.
// clang-format off
constexpr std::array<std::string_view, 130> roleNames{
    /*   0 */ "invalid", "accelerator label", "alert", "animation", "arrow",
    /*   5 */ "calendar", "canvas", "check box", "check menu item", "color chooser",
    /*  10 */ "column header", "combo box", "date editor", "desktop icon", "desktop frame",
    /*  15 */ "dial", "dialog", "directory pane", "drawing area", "file chooser",
    /*  20 */ "filler", "focus traversable", "font chooser", "frame", "glass pane",
    /*  25 */ "html container", "icon", "image", "internal frame", "label",
    /*  30 */ "layered pane", "list", "list item", "menu", "menu bar",
    /*  35 */ "menu item", "option pane", "page tab", "page tab list", "panel",
    /*  40 */ "password text", "popup menu", "progress bar", "push button", "radio button",
    /*  45 */ "radio menu item", "root pane", "row header", "scroll bar", "scroll pane",
    /*  50 */ "separator", "slider", "spin button", "split pane", "status bar",
    /*  55 */ "table", "table cell", "table column header", "table row header", "tearoff menu item",
    /*  60 */ "terminal", "text", "toggle button", "tool bar", "tool tip",
    /*  65 */ "tree", "tree table", "unknown", "viewport", "window",
    /*  70 */ "extended", "header", "footer", "paragraph", "ruler",
    /*  75 */ "application", "autocomplete", "edit bar", "embedded", "entry",
    /*  80 */ "chart", "caption", "document frame", "heading", "page",
    /*  85 */ "section", "redundant object", "form", "link", "input method window",
    /*  90 */ "table row", "tree item", "document spreadsheet", "document presentation", "document text",
    /*  95 */ "document web", "document email", "comment", "list box", "grouping",
    /* 100 */ "image map", "notification", "info bar", "level bar", "title bar",
    /* 105 */ "block quote", "audio", "video", "definition", "article",
    /* 110 */ "landmark", "log", "marquee", "math", "rating",
    /* 115 */ "timer", "static", "math fraction", "math root", "subscript",
    /* 120 */ "superscript", "description list", "description term", "description value", "footnote",
    /* 125 */ "content deletion", "content insertion", "mark", "suggestion", "push button menu",
};
// clang-format on

} // namespace

std::optional<std::string_view> atSpiRoleName(std::uint32_t role) {
    if (role >= roleNames.size()) {
        return std::nullopt;
    }
    return roleNames[role];
}

} // namespace brisklet
