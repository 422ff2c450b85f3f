// SPDX-License-Identifier: GPL-2.0-or-later
// What a screen reader learns of the dialog through Qt's accessibility interfaces.
#include "TestDialog.h"
#include "support/gui/GuiDriver.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QtGui/private/qguiapplication_p.h>
#include <gtest/gtest.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <utility>
#include <vector>

using guitest::GuiDriver;

namespace {

QAccessibleInterface* Accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

bool Related(QAccessibleInterface* from, QAccessible::Relation relation, QWidget* to) {
    for (const auto& [other, kind] : from->relations(relation)) {
        if (other != nullptr && other->object() == to && (kind & relation) != 0)
            return true;
    }
    return false;
}

struct Group {
    int id;
    const char* title; ///< as set, with its mnemonic mark
    const char* name;  ///< as announced
    int member;        ///< the control it labels
};

const std::vector<Group> kGroups = {
    {res::kIdcProgressGroup, "Progress", "Progress", res::kIdcProgress},
    {res::kIdcStatusGroup, "&Status", "Status", res::kIdcStatusText},
    {res::kIdcFloppyGroup, "Boot floppy", "Boot floppy", res::kIdcFloppyList},
    {res::kIdcCdGroup, "Bootable CD-ROM", "Bootable CD-ROM", res::kIdcRecorderList},
};

// What the update handler saw: the object and the kind of each event. UI thread.
std::vector<std::pair<QObject*, QAccessible::Event>> announced;

void Record(QAccessibleEvent* event) {
    announced.emplace_back(event->object(), event->type());
}

// Assistive technology starts or stops listening, as a screen reader does through the platform.
void Listening(bool listening) {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(listening);
}

bool Announced(QObject* object, QAccessible::Event kind) {
    return std::find(announced.begin(), announced.end(), std::make_pair(object, kind)) !=
           announced.end();
}

} // namespace

// checks that each group box is a grouping named by its title (without the mnemonic mark), that
// the title labels the list, bar or status line it groups (both ways), that the bar takes its
// name from it, and that the picture is named by the window's title.
TEST(Accessibility, GroupsNameWhatTheyGroup) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& self) {
        self.SetWindowText("Boot Media Maker");
        for (const Group& group : kGroups)
            self.FindControlPeer(group.id)->setText(group.title);
    };
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            for (const Group& group : kGroups) {
                SCOPED_TRACE(group.name);
                QAccessibleInterface* frame = Accessible(gui.Widget(group.id));
                QAccessibleInterface* member = Accessible(gui.Widget(group.member));
                ASSERT_NE(frame, nullptr);
                ASSERT_NE(member, nullptr);
                EXPECT_EQ(frame->role(), QAccessible::Grouping);
                EXPECT_EQ(frame->text(QAccessible::Name).toStdString(), group.name);
                EXPECT_TRUE(Related(member, QAccessible::Label, gui.Widget(group.id)));
                EXPECT_TRUE(Related(frame, QAccessible::Labelled, gui.Widget(group.member)));
            }
            // A button names itself: the floppy group labels its list, not its button.
            EXPECT_FALSE(Related(Accessible(gui.Widget(res::kIdcCreateFloppy)), QAccessible::Label,
                                 gui.Widget(res::kIdcFloppyGroup)));
            EXPECT_EQ(Accessible(gui.Widget(res::kIdcProgress))->text(QAccessible::Name),
                      QStringLiteral("Progress"));
            EXPECT_EQ(Accessible(gui.Widget(res::kIdcPicture))->text(QAccessible::Name),
                      QStringLiteral("Boot Media Maker"));
        });
        // The picture follows the title.
        dialog.SetWindowText("Setup");
        fw::CallOnUiThread([&] {
            EXPECT_EQ(Accessible(gui.Widget(res::kIdcPicture))->text(QAccessible::Name),
                      QStringLiteral("Setup"));
        });
    });
}

// checks that, with assistive technology listening, a new status line and a new bar position are
// announced, and that the status line is read as its text.
TEST(Accessibility, StatusChangesAreAnnounced) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        QAccessible::UpdateHandler previous = nullptr;
        fw::CallOnUiThread([&] {
            announced.clear();
            Listening(true);
            previous = QAccessible::installUpdateHandler(&Record);
        });
        dialog.m_stcStatus.SetWindowText("Writing cylinder 3 of 80...");
        dialog.m_progress.SetRange(0, 80);
        dialog.m_progress.SetPos(3);
        fw::CallOnUiThread([&] {
            QAccessible::installUpdateHandler(previous);
            Listening(false);
            QWidget* status = gui.Widget(res::kIdcStatusText);
            EXPECT_TRUE(Announced(status, QAccessible::NameChanged));
            EXPECT_TRUE(Announced(gui.Widget(res::kIdcProgress), QAccessible::ValueChanged));
            EXPECT_EQ(Accessible(status)->text(QAccessible::Name),
                      QStringLiteral("Writing cylinder 3 of 80..."));
        });
    });
}
