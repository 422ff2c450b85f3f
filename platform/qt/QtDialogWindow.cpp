// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/QtDialogWindow.h"

#include "platform/qt/AnsiText.h"
#include "platform/qt/ControlPeers.h"
#include "platform/qt/DialogFont.h"
#include "platform/qt/FixedFrameHints.h"
#include "platform/qt/GroupFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSizeF>
#include <QWindow>
#include <vector>

namespace fw::qt {
namespace {

constexpr Qt::WindowStates kResizedStates = Qt::WindowMaximized | Qt::WindowFullScreen;
/// Room kept around the client area for a window manager's title bar and borders, in the
/// screen's own pixels (window managers do not scale their frames with the program).
constexpr QSize kFrameRoom(16, 40);

Qt::WindowFlags WindowFlags(const DialogTemplate& dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((dialog.style & dialog_style::kCaption) != 0)
        flags |= Qt::WindowTitleHint;
    if ((dialog.style & dialog_style::kSystemMenu) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

// The template's font, made smaller where the window would not fit on the screen.
QFont DialogFont(const DialogTemplate& dialog) {
    const QFont font = TemplateFont(dialog);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return font;
    const QSize frame = (QSizeF(kFrameRoom) / screen->devicePixelRatio()).toSize();
    return FitInto(font, dialog, screen->availableGeometry().size() - frame);
}

bool IsEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool Unmodified(const QKeyEvent& event) {
    return event.modifiers() == Qt::NoModifier || event.modifiers() == Qt::KeypadModifier;
}

// The controls whose name a group box's title gives: they have no text of their own.
bool NamedByGroup(ControlKind kind) {
    return kind == ControlKind::ComboBox || kind == ControlKind::ProgressBar ||
           kind == ControlKind::StaticText;
}

} // namespace

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, DialogEvents& events,
                               std::function<void(QtDialogWindow&)> onDestroyed)
    : QDialog(nullptr, WindowFlags(dialog)), events_(events), onDestroyed_(std::move(onDestroyed)),
      units_(kTemplateFontBaseUnits) {
    setFont(DialogFont(dialog));
    units_ = UnitsOf(font());
    setFixedSize(units_.horizontal(dialog.width), units_.vertical(dialog.height));
    buildControls(dialog);
    setText(dialog.caption != nullptr ? dialog.caption : "");
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        if (focused != nullptr && focused == windowHandle())
            handActivationToOwnedWindow();
    });
}

QtDialogWindow::~QtDialogWindow() {
    onDestroyed_(*this);
}

void QtDialogWindow::buildControls(const DialogTemplate& dialog) {
    std::vector<GroupFrame*> groups;
    for (const ControlTemplate& control : dialog.controls) {
        BuiltControl built = BuildControl(control, *this, units_);
        if (built.widget == nullptr)
            continue;
        if (auto* button = qobject_cast<QPushButton*>(built.widget)) {
            const int id = control.id;
            connect(button, &QPushButton::clicked, this, [this, id] { events_.clicked(id); });
        }
        if (auto* group = dynamic_cast<GroupFrame*>(built.widget))
            groups.push_back(group);
        if (control.kind == ControlKind::StaticPicture)
            picture_ = built.widget;
        // A group's title labels the first control inside its frame that has no text of its
        // own. (A drop-down list's template height takes in its open list: its field counts.)
        for (GroupFrame* group : groups) {
            if (group->buddy() == nullptr && NamedByGroup(control.kind) &&
                group->geometry().contains(built.widget->geometry()))
                group->setBuddy(built.widget);
        }
        if (control.id != kIdStatic)
            controls_.insert_or_assign(control.id, Entry{built.widget, std::move(built.peer)});
    }
}

void QtDialogWindow::setEnabled(bool enabled) {
    QDialog::setEnabled(enabled);
}

bool QtDialogWindow::isEnabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void QtDialogWindow::setText(std::string_view text) {
    title_ = text;
    setWindowTitle(LiteralTitle(FromAnsi(title_)));
    // The picture is the program's banner: the title says what it shows.
    if (picture_ != nullptr)
        picture_->setAccessibleName(FromAnsi(title_));
}

std::string QtDialogWindow::text() const {
    return title_;
}

WindowPeer* QtDialogWindow::control(int id) {
    auto entry = controls_.find(id);
    return entry != controls_.end() ? entry->second.peer.get() : nullptr;
}

QWidget* QtDialogWindow::controlWidget(int id) const {
    auto entry = controls_.find(id);
    return entry != controls_.end() ? entry->second.widget : nullptr;
}

int QtDialogWindow::controlId(const QWidget* widget) const {
    for (const auto& [id, entry] : controls_) {
        if (entry.widget == widget)
            return id;
    }
    return 0;
}

QWidget* QtDialogWindow::openOwnedWindow() const {
    QWidget* last = nullptr;
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->isWindow() && widget->isVisible())
            last = widget;
    }
    return last;
}

void QtDialogWindow::handActivationToOwnedWindow() {
    if (QWidget* owned = openOwnedWindow()) {
        owned->raise();
        owned->activateWindow();
    }
}

int QtDialogWindow::runModal() {
    ended_ = false;
    result_ = 0;
    if (events_.initDialog())
        focusFirstTabStop();
    if (!ended_)
        show();
    if (!ended_)
        loop_.exec();
    hide();
    return result_;
}

void QtDialogWindow::end(int result) {
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
    loop_.exit();
}

void QtDialogWindow::focusFirstTabStop() {
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QPushButton* QtDialogWindow::focusedButton() const {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    return button != nullptr && button->isEnabled() ? button : nullptr;
}

QPushButton* QtDialogWindow::buttonWithMnemonic(QChar character) const {
    const QChar wanted = character.toLower();
    for (const auto& [id, entry] : controls_) {
        auto* button = qobject_cast<QPushButton*>(entry.widget);
        if (button != nullptr && button->isEnabled() && button->isVisible() &&
            MnemonicOf(button->text()) == wanted)
            return button;
    }
    return nullptr;
}

void QtDialogWindow::keyPressEvent(QKeyEvent* event) {
    // What arrives here the focused control did not take.
    if (Unmodified(*event) && event->key() == Qt::Key_Escape) {
        events_.cancelKey();
        return;
    }
    if (Unmodified(*event) && IsEnter(*event)) {
        // A focused button takes Enter, as on Windows; elsewhere it is the dialog's OK key.
        if (QPushButton* button = focusedButton())
            button->click();
        else
            events_.okKey();
        return;
    }
    // A button's mnemonic letter alone presses it while a button has the focus (a list takes
    // letters itself), as the Windows dialog manager does.
    const bool letterOnly =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::ShiftModifier;
    if (letterOnly && event->text().size() == 1 && focusedButton() != nullptr) {
        if (QPushButton* button = buttonWithMnemonic(event->text().front())) {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    // Closing is the dialog's decision: OnClose may keep the window.
    event->ignore();
    events_.closeRequested();
}

void QtDialogWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        HintFixedFrame(*this);
        events_.showWindow(true);
    }
    QDialog::showEvent(event);
}

void QtDialogWindow::changeEvent(QEvent* event) {
    // A fixed dialog is never maximised or full screen, whoever asks: it goes back at once.
    if (event->type() == QEvent::WindowStateChange && (windowState() & kResizedStates) != 0) {
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~kResizedStates); },
            Qt::QueuedConnection);
    }
    QDialog::changeEvent(event);
}

} // namespace fw::qt
