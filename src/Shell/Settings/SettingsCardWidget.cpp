#include "Shell/Settings/SettingsCardWidget.h"

#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

namespace {

using Kind = SettingsControl::Kind;

QLabel* secondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("secondary", true);
    label->setWordWrap(true);
    return label;
}

} // namespace

SettingsCardWidget::SettingsCardWidget(SettingsCardKind card, SettingsViewModel& model,
                                       const LocalizationStore& localization, const QColor& iconColour, QWidget* parent)
    : QFrame(parent), card_(card), model_(model), localization_(localization), iconColour_(iconColour) {
    setObjectName(QStringLiteral("card.%1").arg(qt(settingsCardName(card))));
    setProperty("settingsCard", true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(8);
    auto* title = new QLabel(qt(model_.cardTitle(card)), this);
    title->setProperty("cardTitle", true);
    layout->addWidget(title);
    for (const SettingsControl& control : model_.controls(card)) {
        addRow(control, layout);
    }
    refreshValues();
}

void SettingsCardWidget::addRow(const SettingsControl& control, QVBoxLayout* layout) {
    if (control.inlineWithPrevious && lastLine_) {
        QWidget* button = makeEditor(control);
        button->setEnabled(control.enabled);
        if (control.kind == Kind::choice) {
            button->setToolTip(qt(control.label));
        }
        if (lastRowIsButtons_) {
            lastLine_->insertWidget(lastLine_->count() - 1, button);
        } else {
            lastLine_->addWidget(button, 0, Qt::AlignRight | Qt::AlignVCenter);
        }
        return;
    }
    if (!control.groupTitle.empty()) {
        auto* group = new QLabel(qt(control.groupTitle), this);
        group->setProperty("groupTitle", true);
        layout->addSpacing(4);
        layout->addWidget(group);
    }
    auto* row = new QWidget(this);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    const bool bareStatus = (control.kind == Kind::status || control.kind == Kind::progress) && control.label.empty();
    if (control.kind != Kind::button && !bareStatus) {
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        // A card's only control needs no label repeating the card's title.
        if (control.label != model_.cardTitle(card_)) {
            auto* label = new QLabel(qt(control.label), row);
            label->setWordWrap(true);
            texts->addWidget(label);
        }
        if (!control.detail.empty()) {
            texts->addWidget(secondaryLabel(qt(control.detail), row));
        }
        // Controls disabled for one reason say it once.
        if (!control.enabled && !control.disabledReason.empty() && control.kind != Kind::status &&
            control.disabledReason != lastReason_) {
            texts->addWidget(secondaryLabel(qt(control.disabledReason), row));
            lastReason_ = control.disabledReason;
        }
        line->addLayout(texts, 1);
    }
    QWidget* editor = makeEditor(control);
    if (bareStatus) {
        // A status line without a name of its own reads as a sentence from the left.
        line->addWidget(editor, 1);
    } else if (control.kind == Kind::button) {
        line->addWidget(editor);
        line->addStretch(1);
    } else if (control.kind == Kind::path) {
        line->addWidget(editor, 2);
    } else {
        line->addWidget(editor, 0, Qt::AlignRight | Qt::AlignVCenter);
    }
    editor->setEnabled(control.enabled);
    if (!control.enabled) {
        editor->setToolTip(qt(control.disabledReason));
    }
    layout->addWidget(row);
    lastLine_ = line;
    lastRowIsButtons_ = control.kind == Kind::button;
    auto* message = new QLabel(row);
    message->setObjectName(qt(control.id + ".message"));
    message->setProperty("message", true);
    message->setWordWrap(true);
    message->hide();
    layout->addWidget(message);
    messages_[control.id] = message;
}

QWidget* SettingsCardWidget::makeEditor(const SettingsControl& control) {
    const std::string id = control.id;
    QWidget* editor = nullptr;
    switch (control.kind) {
    case Kind::toggle: {
        auto* box = new QCheckBox(this);
        box->setAccessibleName(qt(control.label));
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) { model_.setValue(id, on ? 1 : 0); });
        editor = box;
        break;
    }
    case Kind::choice: {
        auto* combo = new QComboBox(this);
        combo->setAccessibleName(qt(control.label));
        for (const SettingsChoice& choice : control.choices) {
            combo->addItem(qt(choice.text), choice.value);
        }
        connect(combo, &QComboBox::activated, this,
                [this, id, combo](int index) { model_.setValue(id, combo->itemData(index).toInt()); });
        editor = combo;
        break;
    }
    case Kind::hotkey: {
        auto* box = new QWidget(this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(4);
        auto* field = new QPushButton(box);
        field->setObjectName(qt(id));
        field->setProperty("hotkeyField", true);
        field->setCheckable(true);
        field->setMinimumWidth(150);
        field->setToolTip(qt(localization_.text(L10nKey::settingsHotkeyRecord)));
        const HotkeyRecordTarget target = *control.hotkey;
        connect(field, &QPushButton::clicked, this, [this, target](bool checked) {
            if (checked) {
                model_.startRecording(target);
            } else {
                model_.stopRecording();
            }
        });
        auto* clear = new QToolButton(box);
        clear->setObjectName(qt(id + ".clear"));
        clear->setIcon(ShellIcons::icon("xmark", iconColour_));
        clear->setToolTip(qt(localization_.text(L10nKey::settingsHotkeyClear)));
        clear->setAccessibleName(clear->toolTip());
        connect(clear, &QToolButton::clicked, this, [this, target] { model_.clearHotkey(target); });
        line->addWidget(field);
        line->addWidget(clear);
        editors_[id] = field;
        return box;
    }
    case Kind::path: {
        auto* box = new QWidget(this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        auto* field = new QLineEdit(box);
        field->setObjectName(qt(id));
        field->setMinimumWidth(240);
        field->setPlaceholderText(qt(control.placeholder));
        connect(field, &QLineEdit::editingFinished, this, [this, id, field] {
            if (field->text().toStdString() != model_.text(id)) {
                model_.setDirectory(id, field->text().toStdString());
            }
        });
        auto* choose = new QPushButton(box);
        choose->setObjectName(qt(id + ".choose"));
        choose->setText(qt(localization_.text(L10nKey::settingsChooseDirectory)));
        choose->setIcon(ShellIcons::icon("folder", iconColour_));
        connect(choose, &QPushButton::clicked, this, [this, id, field] {
            const QString chosen = chooseDirectory ? chooseDirectory(field->text()) : QString();
            if (!chosen.isEmpty()) {
                model_.setDirectory(id, chosen.toStdString());
            }
        });
        line->addWidget(field, 1);
        line->addWidget(choose);
        editors_[id] = field;
        editors_[id + ".choose"] = choose;
        return box;
    }
    case Kind::button: {
        auto* button = new QPushButton(qt(control.label), this);
        if (!control.symbol.empty()) {
            button->setIcon(ShellIcons::icon(control.symbol, iconColour_));
        }
        connect(button, &QPushButton::clicked, this, [this, id] { model_.trigger(id); });
        editor = button;
        break;
    }
    case Kind::progress: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(false);
        bar->setFixedHeight(6);
        editor = bar;
        break;
    }
    case Kind::status: {
        auto* label = new QLabel(this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        label->setProperty("secondary", true);
        editor = label;
        break;
    }
    }
    editor->setObjectName(qt(id));
    editors_[id] = editor;
    return editor;
}

void SettingsCardWidget::refreshValues() {
    for (const SettingsControl& control : model_.controls(card_)) {
        if (const auto it = editors_.find(control.id); it != editors_.end()) {
            it->second->setEnabled(control.enabled);
            it->second->setToolTip(control.enabled ? QString() : qt(control.disabledReason));
            it->second->setVisible(!control.hidden);
        }
    }
    const auto& recording = model_.recordingTarget();
    for (const auto& [id, editor] : editors_) {
        if (auto* box = qobject_cast<QCheckBox*>(editor)) {
            const QSignalBlocker block(box);
            box->setChecked(model_.value(id) != 0);
        } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QSignalBlocker block(combo);
            const int index = combo->findData(model_.value(id));
            combo->setCurrentIndex(index);
        } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
            if (!field->hasFocus()) {
                field->setText(qt(model_.text(id)));
            }
        } else if (auto* button = qobject_cast<QPushButton*>(editor);
                   button && button->property("hotkeyField").toBool()) {
            const bool isRecording = recording && "hotkey." + hotkeyTargetName(*recording) == id;
            const QSignalBlocker block(button);
            button->setChecked(isRecording);
            button->setText(
                qt(isRecording ? localization_.text(L10nKey::settingsHotkeyRecordingPrompt) : model_.text(id)));
            button->setToolTip(qt(localization_.text(isRecording ? L10nKey::settingsHotkeyRecordingCancelHint
                                                                 : L10nKey::settingsHotkeyRecord)));
        } else if (auto* label = qobject_cast<QLabel*>(editor)) {
            label->setText(qt(model_.text(id)));
        } else if (auto* bar = qobject_cast<QProgressBar*>(editor)) {
            const int permille = model_.value(id);
            // A bar with no range runs as "busy" until the size is known.
            bar->setRange(0, permille < 0 ? 0 : 1000);
            bar->setValue(std::max(permille, 0));
        }
    }
    for (const auto& [id, label] : messages_) {
        const std::string text = model_.message(id);
        label->setText(qt(text));
        label->setVisible(!text.empty());
    }
}

} // namespace brisklet
