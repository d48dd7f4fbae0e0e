// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/announce.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace core {

namespace {

constexpr qsizetype Kept = 20;

// One message. A new object for each: a reader's cache of an older message's name never
// stands in for the new one.
class Announcement : public QObject {
public:
    Announcement(QWidget* window, const QString& text) : QObject(window), m_text(text) {}
    const QString& text() const { return m_text; }
    QWidget* window() const { return static_cast<QWidget*>(parent()); }

private:
    QString m_text;
};

class AnnouncementAccessible : public QAccessibleObject {
public:
    explicit AnnouncementAccessible(Announcement* announcement) : QAccessibleObject(announcement) {}
    Announcement* announcement() const { return static_cast<Announcement*>(object()); }

    QWindow* window() const override { return announcement()->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(announcement()->window());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? announcement()->text() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

QStringList& said() {
    static QStringList list;
    return list;
}

QPointer<Announcement>& last() {
    static QPointer<Announcement> announcement;
    return announcement;
}

} // namespace

void announce(const QString& text) {
    if (text.isEmpty()) return;
    QStringList& list = said();
    list.append(text);
    if (list.size() > Kept) list.removeFirst();
    QWidget* window = QApplication::activeWindow();
    if (!window || !QAccessible::isActive()) return;
    // The message before is hidden and let go: one at a time.
    if (Announcement* before = last()) {
        QAccessibleEvent hidden(before, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&hidden);
        before->deleteLater();
    }
    last() = new Announcement(window, text);
    QAccessibleEvent shown(last().data(), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QStringList& announced() {
    return said();
}

QAccessibleInterface* announcementAccessible(QObject* object) {
    auto* announcement = dynamic_cast<Announcement*>(object);
    return announcement ? new AnnouncementAccessible(announcement) : nullptr;
}

} // namespace core
