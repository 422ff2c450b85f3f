// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/QtDialogWindow.h"

#include "platform/qt/AnsiText.h"
#include "platform/qt/ControlPeers.h"
#include "platform/qt/DialogUnits.h"

#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>

namespace fw::qt {
namespace {

// The template's font first; where it is missing, sans-serif faces of similar width.
const QStringList kFallbackFaces = {QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")};

QFont TemplateFont(const DialogTemplate& dialog) {
    QFont font;
    font.setFamilies(QStringList{QString::fromLatin1(dialog.fontName)} + kFallbackFaces);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixels);
    return font;
}

Qt::WindowFlags WindowFlags(const DialogTemplate& dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((dialog.style & dialog_style::kCaption) != 0)
        flags |= Qt::WindowTitleHint;
    if ((dialog.style & dialog_style::kSystemMenu) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

bool IsEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

} // namespace

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, DialogEvents& events,
                               std::function<void(QtDialogWindow&)> onDestroyed)
    : QDialog(nullptr, WindowFlags(dialog)), events_(events), onDestroyed_(std::move(onDestroyed)) {
    setFont(TemplateFont(dialog));
    setFixedSize(HorizontalPixels(dialog.width), VerticalPixels(dialog.height));
    setText(dialog.caption != nullptr ? dialog.caption : "");
    for (const ControlTemplate& control : dialog.controls) {
        BuiltControl built = BuildControl(control, *this);
        if (built.widget == nullptr)
            continue;
        if (auto* button = qobject_cast<QPushButton*>(built.widget)) {
            const int id = control.id;
            connect(button, &QPushButton::clicked, this, [this, id] { events_.clicked(id); });
        }
        if (control.id != kIdStatic)
            controls_.insert_or_assign(control.id, Entry{built.widget, std::move(built.peer)});
    }
}

QtDialogWindow::~QtDialogWindow() {
    onDestroyed_(*this);
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

void QtDialogWindow::keyPressEvent(QKeyEvent* event) {
    // A focused push button takes Enter itself; what arrives here goes to the dialog.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape) {
            events_.cancelKey();
            return;
        }
        if (IsEnter(*event)) {
            events_.okKey();
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
    if (!event->spontaneous())
        events_.showWindow(true);
    QDialog::showEvent(event);
}

} // namespace fw::qt
