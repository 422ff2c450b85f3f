// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/GroupFrame.h"

#include <QPainter>
#include <QStyle>

namespace fw::qt {
namespace {
/// Where the title starts, and the gap kept clear of the line on either side of it.
constexpr int kTitleIndent = 8;
constexpr int kTitleGap = 2;
constexpr int kTitleFlags =
    Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
} // namespace

void GroupFrame::setTitle(const QString& title) {
    title_ = title;
    update();
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    // Etched: a shadow line, and a light one a pixel below and to the right.
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title_.isEmpty())
        return;
    const QRect available(kTitleIndent, 0, width() - 2 * kTitleIndent, metrics.height());
    const QRect text = metrics.boundingRect(available, kTitleFlags, title_).intersected(available);
    painter.fillRect(text.adjusted(-kTitleGap, 0, kTitleGap, 0), palette().color(backgroundRole()));
    style()->drawItemText(&painter, text, kTitleFlags, palette(), isEnabled(), title_,
                          QPalette::WindowText);
}

} // namespace fw::qt
