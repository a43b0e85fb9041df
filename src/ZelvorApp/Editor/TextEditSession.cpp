#include "ZelvorApp/Editor/TextEditSession.h"

#include "ZelvorApp/Editor/AnnotationDocument.h"

#include <cctype>

namespace brisklet {

namespace {

std::string trimmed(const std::string& text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

} // namespace

std::optional<TextAnnotation> TextEditSession::activeText() const {
    if (!edit_) {
        return std::nullopt;
    }
    if (newText_) {
        return newText_;
    }
    const auto* item = document_.item(edit_->id);
    const auto* text = item ? item->as<TextAnnotation>() : nullptr;
    return text ? std::optional(*text) : std::nullopt;
}

void TextEditSession::beginNewText(TextAnnotation draft) {
    commit();
    edit_ = ActiveTextEdit{draft.id, std::nullopt, std::nullopt};
    newText_ = std::move(draft);
}

bool TextEditSession::beginEditing(const Uuid& id) {
    if (edit_ && edit_->id == id) {
        return true;
    }
    commit();
    const auto index = document_.indexOf(id);
    const auto* text = index ? document_.annotations()[*index].as<TextAnnotation>() : nullptr;
    if (!text) {
        return false;
    }
    edit_ = ActiveTextEdit{id, *text, *index};
    document_.select(id);
    return true;
}

void TextEditSession::update(const std::function<void(TextAnnotation&)>& change) {
    if (newText_) {
        change(*newText_);
        return;
    }
    if (auto text = activeText()) {
        change(*text);
        document_.updateAnnotation(edit_->id, *text);
    }
}

void TextEditSession::setText(std::string text) {
    update([&](TextAnnotation& t) { t.text = std::move(text); });
}

void TextEditSession::commit() {
    if (!edit_) {
        return;
    }
    const ActiveTextEdit edit = *edit_;
    std::optional<TextAnnotation> current = activeText();
    edit_.reset();
    newText_.reset();
    if (!current) {
        return; // the text disappeared underneath the edit (undone); nothing left to record
    }
    current->text = trimmed(current->text);
    if (current->text.empty()) {
        if (edit.originalItem) {
            document_.removeAnnotation(edit.id, *edit.originalItem, edit.originalIndex.value_or(0));
        }
        return;
    }
    if (!edit.originalItem) {
        document_.appendAnnotation(*current);
        return;
    }
    document_.updateAnnotation(edit.id, *current);
    document_.recordReplace(*edit.originalItem, *current);
}

void TextEditSession::deleteActiveText() {
    if (!edit_) {
        return;
    }
    const ActiveTextEdit edit = *edit_;
    edit_.reset();
    newText_.reset();
    if (edit.originalItem) {
        document_.removeAnnotation(edit.id, *edit.originalItem, edit.originalIndex.value_or(0));
    }
}

} // namespace brisklet
