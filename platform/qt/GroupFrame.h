// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A group box drawn as the Windows one: an etched frame whose top line runs through the middle
// of the title. (Qt's own puts its title above the frame, where a template's controls, placed
// for the Windows look, would cover it.) It is a label, so that its title labels the control
// it groups (its buddy) for assistive technology, and its mnemonic moves the focus there.

#include <QLabel>
#include <QRect>
#include <QString>

namespace fw::qt {

class GroupFrame final : public QLabel {
public:
    /// Its title is its text; '&' marks a mnemonic, as on a button.
    explicit GroupFrame(QWidget* parent);

    /// Where the title may go: over the top line, clear of the corners.
    QRect titleArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace fw::qt
