#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <QWidget>

#include <functional>
#include <string>

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace brisklet {

class LocalizationStore;

/// The editor's text panel: the recognised text (as Markdown, or the selected words), its
/// status, Copy and Translate, and once a translation was asked for, the translation with its
/// target-language menu. A child of the editor window, styled like the toolbar; it shows what it
/// is given and reports the buttons.
class EditorTextPanel final : public QWidget {
public:
    /// What the panel shows.
    struct Content {
        enum class Translation { none, translating, success, failed };

        /// Recognising, nothing found, failed, or a hint; empty hides the line.
        std::string status;
        std::string sourceText;
        bool hasSelection = false;
        bool canTranslate = false;
        Translation translation = Translation::none;
        std::string translatedText;
        /// The failure (which names the package to install when language data is missing).
        std::string translationMessage;
        TranslationTargetLanguage target = TranslationTargetLanguage::automatic;
    };

    EditorTextPanel(const LocalizationStore& localization, bool dark, QWidget* parent);

    void setContent(const Content& content);
    /// Beside `selection` inside `bounds` (right, else left, else over the selection's right
    /// edge), in the parent's coordinates.
    void place(const QRect& selection, const QRect& bounds);

    QSize sizeHint() const override;

    std::function<void()> onCopy;
    std::function<void()> onTranslate;
    std::function<void()> onCopyTranslation;
    std::function<void(TranslationTargetLanguage)> onTargetChanged;

    // For the window's tests and screenshots.
    QLabel* statusLabel() const { return status_; }
    QPlainTextEdit* sourceView() const { return source_; }
    QPlainTextEdit* translationView() const { return translated_; }
    QLabel* translationMessageLabel() const { return translationMessage_; }
    QComboBox* targetMenu() const { return target_; }
    QToolButton* copyButton() const { return copy_; }
    QToolButton* translateButton() const { return translate_; }
    QToolButton* copyTranslationButton() const { return copyTranslation_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    QToolButton* makeButton(const std::string& title);
    void showTranslation(const Content& content);

    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    QLabel* status_ = nullptr;
    QPlainTextEdit* source_ = nullptr;
    QToolButton* copy_ = nullptr;
    QToolButton* translate_ = nullptr;
    QFrame* translationSection_ = nullptr;
    QComboBox* target_ = nullptr;
    QPlainTextEdit* translated_ = nullptr;
    QLabel* translationMessage_ = nullptr;
    QToolButton* copyTranslation_ = nullptr;
    bool updatingTarget_ = false;
};

} // namespace brisklet
