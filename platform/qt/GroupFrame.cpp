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

GroupFrame::GroupFrame(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText); // container text is never markup
}

QRect GroupFrame::titleArea() const {
    return QRect(kTitleIndent, 0, width() - 2 * kTitleIndent, fontMetrics().height());
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
    if (text().isEmpty())
        return;
    const QRect available = titleArea();
    const QRect title = metrics.boundingRect(available, kTitleFlags, text()).intersected(available);
    painter.fillRect(title.adjusted(-kTitleGap, 0, kTitleGap, 0),
                     palette().color(backgroundRole()));
    style()->drawItemText(&painter, title, kTitleFlags, palette(), isEnabled(), text(),
                          QPalette::WindowText);
}

} // namespace fw::qt
