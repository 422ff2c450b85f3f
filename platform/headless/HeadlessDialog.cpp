// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/headless/HeadlessDialog.h"

#include "platform/MessageBox.h"
#include "platform/headless/HeadlessBackend.h"

#include <utility>

namespace fw::headless {
namespace {

ControlView ViewOf(const term::ControlState& state, const std::string& text) {
    return {state.place.id, state.place.kind, text};
}

} // namespace

HeadlessDialog::HeadlessDialog(const DialogTemplate& dialog, DialogEvents& events,
                               HeadlessBackend& host)
    : events_(events), host_(host) {
    title_ = dialog.caption != nullptr ? dialog.caption : "";
    for (const ControlTemplate& place : dialog.controls) {
        auto entry = std::make_unique<Entry>();
        entry->state.place = place;
        entry->state.text = place.text != nullptr ? place.text : "";
        entry->seen.text = entry->state.text;
        Entry* changedEntry = entry.get();
        entry->peer =
            term::MakePeer(entry->state, [this, changedEntry] { changed(*changedEntry); });
        controls_.push_back(std::move(entry));
    }
}

const HeadlessDialog::Entry* HeadlessDialog::find(int id) const {
    if (id == kIdStatic)
        return nullptr;
    for (const auto& entry : controls_) {
        if (entry->state.place.id == id)
            return entry.get();
    }
    return nullptr;
}

HeadlessDialog::Entry* HeadlessDialog::find(int id) {
    return const_cast<Entry*>(static_cast<const HeadlessDialog*>(this)->find(id));
}

WindowPeer* HeadlessDialog::control(int id) {
    Entry* entry = find(id);
    return entry != nullptr ? entry->peer.get() : nullptr;
}

void HeadlessDialog::changed(Entry& entry) {
    const term::ControlState& state = entry.state;
    const Seen now{entry.peer->text(), state.enabled, state.selected,
                   state.low,          state.high,    state.pos};
    const Seen before = std::exchange(entry.seen, now);
    if (!shown_)
        return;
    Report& report = host_.report();
    const ControlView view = ViewOf(state, now.text);
    const bool list = state.place.kind == ControlKind::ComboBox;
    if (list && now.selected != before.selected)
        report.Selected(view);
    else if (!list && now.text != before.text)
        report.Text(view);
    if (now.enabled != before.enabled)
        report.Enabled(view, now.enabled);
    if (now.low != before.low || now.high != before.high || now.pos != before.pos)
        report.Progress(state.place.id, now.low, now.high, now.pos);
}

void HeadlessDialog::showToReport() {
    Report& report = host_.report();
    report.Shown(title_);
    for (const auto& entry : controls_) {
        if (entry->state.place.kind == ControlKind::StaticText)
            report.Text(ViewOf(entry->state, entry->seen.text));
    }
}

int HeadlessDialog::runModal() {
    ended_ = false;
    result_ = 0;
    events_.initDialog();
    if (!ended_) {
        shown_ = true;
        showToReport();
        events_.showWindow(true);
        if (!ended_)
            host_.operate(*this);
        end(win::IDCANCEL);
    }
    shown_ = false;
    host_.report().Ended();
    return result_;
}

void HeadlessDialog::end(int result) {
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
}

std::string HeadlessDialog::Text(int id) const {
    const Entry* entry = find(id);
    return entry != nullptr ? entry->peer->text() : std::string();
}

bool HeadlessDialog::IsEnabled(int id) const {
    const Entry* entry = find(id);
    return entry != nullptr && entry->state.enabled;
}

std::vector<std::string> HeadlessDialog::Items(int id) const {
    const Entry* entry = find(id);
    return entry != nullptr ? entry->state.items : std::vector<std::string>();
}

bool HeadlessDialog::Select(int id, int index) {
    Entry* entry = find(id);
    if (entry == nullptr || entry->state.place.kind != ControlKind::ComboBox ||
        !entry->state.enabled || !enabled_ || ended_ || index < 0 ||
        index >= static_cast<int>(entry->state.items.size()))
        return false;
    static_cast<ComboBoxPeer&>(*entry->peer).select(index);
    return true;
}

bool HeadlessDialog::Click(int id) {
    const Entry* entry = find(id);
    if (entry == nullptr || entry->state.place.kind != ControlKind::PushButton ||
        !entry->state.enabled || !enabled_ || ended_)
        return false;
    host_.report().Clicked(ViewOf(entry->state, entry->state.text));
    events_.clicked(id);
    return true;
}

bool HeadlessDialog::WaitUntil(const std::function<bool()>& condition) {
    return host_.waitUntil(condition, [this] { return ended_; });
}

void HeadlessDialog::Note(std::string_view text) {
    host_.report().Note(text);
}

void HeadlessDialog::Print(std::string_view text) {
    host_.report().Print(text);
}

} // namespace fw::headless
