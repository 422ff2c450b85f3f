// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drop-down list. Items keep the order in which they were added (no sorting).

#include "platform/fw/Window.h"

namespace fw {

/// What ComboBox reports for no item: an operation that failed, or no selection.
inline constexpr int kNoItem = -1;

class ComboBox : public Control {
public:
    /// Appends text (ANSI; null counts as "") and returns its index; kNoItem when unbound.
    int AddString(const char* text);
    /// Selects item index and returns it. An index out of range (or kNoItem) clears the
    /// selection and returns kNoItem.
    int SetCurSel(int index);
    /// The selected index, kNoItem for none.
    int GetCurSel() const;
    int GetCount() const;
};

} // namespace fw
