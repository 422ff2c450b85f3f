// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/Accessibility.h"

#include "platform/qt/AnsiText.h"
#include "platform/qt/GroupFrame.h"

#include <QAccessibleWidget>

namespace fw::qt {
namespace {

class GroupAccessible final : public QAccessibleWidget {
public:
    explicit GroupAccessible(GroupFrame& group)
        : QAccessibleWidget(&group, QAccessible::Grouping) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return WithoutMnemonics(group().text());
        return QAccessibleWidget::text(kind);
    }

    // The control the title labels says so itself (Qt finds a label by its buddy); the title
    // says which control it labels.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) != 0 && group().buddy() != nullptr)
            found.append(
                {QAccessible::queryAccessibleInterface(group().buddy()), QAccessible::Labelled});
        return found;
    }

private:
    GroupFrame& group() const { return static_cast<GroupFrame&>(*widget()); }
};

// Qt asks with the name of each class up the object's hierarchy; GroupFrame has no meta-object of
// its own, so it is recognised by its type.
QAccessibleInterface* BackendInterfaces(const QString&, QObject* object) {
    if (auto* group = dynamic_cast<GroupFrame*>(object))
        return new GroupAccessible(*group); // owned by Qt's cache of interfaces
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces() {
    QAccessible::installFactory(&BackendInterfaces);
}

} // namespace fw::qt
