#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace brisklet {

class AnnotationDocument;

/// The text box being edited in place. `originalItem` and `originalIndex` are absent for a new text.
struct ActiveTextEdit {
    Uuid id;
    std::optional<TextAnnotation> originalItem;
    std::optional<std::size_t> originalIndex;
    bool operator==(const ActiveTextEdit&) const = default;
};

/// Editing one text in place. An existing text is changed live inside the document (so it is
/// drawn and hit where it is) and recorded once, on commit; a new text lives here until then.
class TextEditSession {
public:
    explicit TextEditSession(AnnotationDocument& document) : document_(document) {}

    const std::optional<ActiveTextEdit>& activeTextEdit() const { return edit_; }
    bool isEditing() const { return edit_.has_value(); }
    bool isNewText() const { return edit_ && !edit_->originalItem; }
    /// The text as it currently stands, whether new or existing.
    std::optional<TextAnnotation> activeText() const;

    /// Opens a new, empty text box; any edit in progress is committed first.
    void beginNewText(TextAnnotation draft);
    /// Re-opens an existing text; any other edit in progress is committed first. Returns false
    /// when `id` is not a text of the document.
    bool beginEditing(const Uuid& id);

    /// Changes the live text (text, colour, size, position, width or rotation), recording nothing.
    void update(const std::function<void(TextAnnotation&)>& change);
    void setText(std::string text);

    /// Ends the edit. The text is trimmed of white space and newlines. Empty: an existing text is
    /// removed (undo brings back its original) and a new one leaves nothing. Otherwise a new text
    /// is added, and an existing one records a replace when it differs from its original.
    void commit();
    /// The frame's delete button: an existing text is removed (undoably), a new one dropped.
    void deleteActiveText();

private:
    AnnotationDocument& document_;
    std::optional<ActiveTextEdit> edit_;
    std::optional<TextAnnotation> newText_;
};

} // namespace brisklet
