// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/gui/TextFit.h"

#include "platform/qt/GroupFrame.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <limits>
#include <sstream>

namespace guitest {
namespace {

constexpr int kUnbounded = std::numeric_limits<int>::max() / 2;

std::string Misfit(const QString& text, int needed, int room, const char* what) {
    if (needed <= room)
        return {};
    std::ostringstream out;
    out << '"' << text.toStdString() << "\" needs " << needed << " px of " << what << ", has "
        << room;
    return out.str();
}

// A label's width as drawn: the mnemonic marks take no room.
int LabelWidth(const QFontMetrics& metrics, const QString& text) {
    return metrics.size(Qt::TextShowMnemonic | Qt::TextSingleLine, text).width();
}

std::string ButtonCut(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect = button.rect();
    option.text = button.text();
    // The label keeps clear of the focus frame drawn inside the contents.
    const int focusMargin =
        button.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, &button);
    const QRect contents =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return Misfit(button.text(), LabelWidth(button.fontMetrics(), button.text()),
                  contents.width() - 2 * focusMargin, "width");
}

std::string GroupCut(const fw::qt::GroupFrame& group) {
    return Misfit(group.text(), LabelWidth(group.fontMetrics(), group.text()),
                  group.titleArea().width(), "width");
}

std::string StaticCut(const QLabel& label) {
    const QRect wrapped = label.fontMetrics().boundingRect(
        QRect(0, 0, label.width(), kUnbounded), Qt::TextWordWrap | label.alignment(), label.text());
    std::string cut = Misfit(label.text(), wrapped.width(), label.width(), "width");
    return cut.empty() ? Misfit(label.text(), wrapped.height(), label.height(), "height") : cut;
}

std::string ListCut(const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.rect = combo.rect();
    option.editable = combo.isEditable();
    option.frame = combo.hasFrame();
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    for (int i = 0; i < combo.count(); ++i) {
        const QString item = combo.itemText(i);
        std::string cut =
            Misfit(item, combo.fontMetrics().horizontalAdvance(item), field.width(), "width");
        if (!cut.empty())
            return cut;
    }
    return {};
}

} // namespace

std::string CutText(const QWidget& control) {
    if (const auto* group = dynamic_cast<const fw::qt::GroupFrame*>(&control))
        return GroupCut(*group);
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return ButtonCut(*button);
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->pixmap().isNull() ? StaticCut(*label) : std::string();
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return ListCut(*combo);
    return {};
}

} // namespace guitest
