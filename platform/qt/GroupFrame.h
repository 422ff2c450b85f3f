// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A group box drawn as the Windows one: an etched frame whose top line runs through the middle
// of the title. (Qt's own puts its title above the frame, where a template's controls, placed
// for the Windows look, would cover it.)

#include <QString>
#include <QWidget>

namespace fw::qt {

class GroupFrame final : public QWidget {
public:
    explicit GroupFrame(QWidget* parent) : QWidget(parent) {}

    /// '&' marks a mnemonic, as on a button.
    void setTitle(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

} // namespace fw::qt
