// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/ControlPeers.h"

#include "platform/qt/AnsiText.h"
#include "platform/qt/GroupFrame.h"
#include "platform/qt/Pictures.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <vector>

namespace fw::qt {
namespace {

constexpr int kFrameLineWidth = 1;
constexpr int kEmptyRangeHigh = 1;
constexpr int kMinVisibleItems = 1;

/// The part every peer shares: the enabled state and the text as last set.
template <typename Interface, typename Widget> class WidgetPeer : public Interface {
public:
    explicit WidgetPeer(Widget& widget) : widget_(widget) {}

    void setEnabled(bool enabled) override { widget_.setEnabled(enabled); }
    bool isEnabled() const override { return !widget_.testAttribute(Qt::WA_ForceDisabled); }
    void setText(std::string_view text) override {
        text_ = text;
        display(FromAnsi(text_));
    }
    std::string text() const override { return text_; }

protected:
    /// Shows the text, as the kind of control shows it (some show none).
    virtual void display(const QString&) {}

    Widget& widget_;
    std::string text_;
};

class ButtonPeer final : public WidgetPeer<WindowPeer, QPushButton> {
public:
    using WidgetPeer::WidgetPeer;

private:
    void display(const QString& text) override { widget_.setText(text); }
};

class GroupBoxPeer final : public WidgetPeer<WindowPeer, GroupFrame> {
public:
    using WidgetPeer::WidgetPeer;

private:
    void display(const QString& text) override { widget_.setText(text); }
};

class TextPeer final : public WidgetPeer<WindowPeer, QLabel> {
public:
    using WidgetPeer::WidgetPeer;

private:
    void display(const QString& text) override { widget_.setText(WithoutMnemonics(text)); }
};

class FramePeer final : public WidgetPeer<WindowPeer, QFrame> {
public:
    using WidgetPeer::WidgetPeer;
};

class PictureStaticPeer final : public WidgetPeer<PicturePeer, QLabel> {
public:
    using WidgetPeer::WidgetPeer;

    void setBitmap(win::HBITMAP bitmap) override {
        const QImage image = ToImage(bitmap);
        if (image.isNull()) {
            widget_.clear();
            return;
        }
        // A bitmap static takes the size of its picture.
        widget_.setPixmap(QPixmap::fromImage(image));
        widget_.resize(image.size());
    }
};

class ComboPeer final : public WidgetPeer<ComboBoxPeer, QComboBox> {
public:
    using WidgetPeer::WidgetPeer;

    // A drop-down list has no edit field: its text is the selected item's, and setting it
    // changes nothing.
    void setText(std::string_view) override {}
    std::string text() const override {
        const int index = widget_.currentIndex();
        return index >= 0 ? items_[static_cast<std::size_t>(index)] : std::string();
    }

    int addItem(std::string_view text) override {
        items_.emplace_back(text);
        widget_.addItem(FromAnsi(text));
        return widget_.count() - 1;
    }
    int count() const override { return widget_.count(); }
    void select(int index) override { widget_.setCurrentIndex(index); }
    int selected() const override { return widget_.currentIndex(); }

private:
    std::vector<std::string> items_;
};

class ProgressBarPeer final : public WidgetPeer<ProgressPeer, QProgressBar> {
public:
    using WidgetPeer::WidgetPeer;

    void show(int low, int high, int pos) override {
        // Qt animates a bar whose range is empty; the Windows bar shows it empty.
        if (high > low) {
            widget_.setRange(low, high);
            widget_.setValue(pos);
        } else {
            widget_.setRange(0, kEmptyRangeHigh);
            widget_.setValue(0);
        }
    }
};

// Group boxes and statics let clicks through to what lies under them, as on Windows (they are
// transparent to hit-testing there); later controls of a template lie above earlier ones.
bool PassesClicks(ControlKind kind) {
    return kind == ControlKind::GroupBox || kind == ControlKind::StaticText ||
           kind == ControlKind::StaticPicture || kind == ControlKind::StaticFrame;
}

Qt::FocusPolicy FocusPolicy(const ControlTemplate& control) {
    return (control.style & style::kTabStop) != 0 ? Qt::StrongFocus : Qt::NoFocus;
}

template <typename Peer, typename Widget> BuiltControl Make(Widget* widget) {
    return {widget, std::make_unique<Peer>(*widget)};
}

BuiltControl MakeWidget(const ControlTemplate& control, QWidget& parent) {
    switch (control.kind) {
    case ControlKind::GroupBox:
        return Make<GroupBoxPeer>(new GroupFrame(&parent));
    case ControlKind::PushButton: {
        // Templates name no default button; Enter is the dialog's to give meaning to.
        auto* button = new QPushButton(&parent);
        button->setAutoDefault(false);
        return Make<ButtonPeer>(button);
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(&parent);
        bar->setTextVisible(false);
        return Make<ProgressBarPeer>(bar);
    }
    case ControlKind::StaticText: {
        auto* label = new QLabel(&parent);
        label->setTextFormat(Qt::PlainText); // container text is never markup
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return Make<TextPeer>(label);
    }
    case ControlKind::StaticPicture: {
        auto* label = new QLabel(&parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return Make<PictureStaticPeer>(label);
    }
    case ControlKind::StaticFrame: {
        auto* frame = new QFrame(&parent);
        if ((control.style & style::kSunken) != 0) {
            frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            frame->setLineWidth(kFrameLineWidth);
        }
        if ((control.style & style::kWhiteRect) != 0) {
            frame->setBackgroundRole(QPalette::Base);
            frame->setAutoFillBackground(true);
        }
        return Make<FramePeer>(frame);
    }
    case ControlKind::ComboBox:
        return Make<ComboPeer>(new QComboBox(&parent));
    }
    return {};
}

// The template's height of a drop-down list covers its field and its open list; Qt takes the
// field's own height and a number of visible items.
void FitComboBox(QComboBox& combo, const PixelRect& rect) {
    const int fieldHeight = std::min(combo.sizeHint().height(), rect.height);
    const int itemHeight = std::max(1, combo.fontMetrics().height());
    combo.setMaxVisibleItems(std::max(kMinVisibleItems, (rect.height - fieldHeight) / itemHeight));
    combo.setGeometry(rect.x, rect.y, rect.width, fieldHeight);
}

} // namespace

BuiltControl BuildControl(const ControlTemplate& control, QWidget& parent,
                          const DialogUnits& units) {
    BuiltControl built = MakeWidget(control, parent);
    if (built.widget == nullptr)
        return built;
    built.widget->setFocusPolicy(FocusPolicy(control));
    built.widget->setAttribute(Qt::WA_TransparentForMouseEvents, PassesClicks(control.kind));
    const PixelRect rect = units.rect(control.x, control.y, control.width, control.height);
    if (auto* combo = qobject_cast<QComboBox*>(built.widget))
        FitComboBox(*combo, rect);
    else
        built.widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    built.peer->setText(control.text != nullptr ? control.text : "");
    return built;
}

} // namespace fw::qt
