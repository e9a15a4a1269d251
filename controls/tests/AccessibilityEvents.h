// Records what the controls announce to assistive technology, in place of the platform's bridge,
// for as long as it lives.
#pragma once

#include <QAccessible>
#include <QObject>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace controls::test {

class AccessibilityEvents {
public:
    // Qt passes events on only while assistive technology is active, as when a screen reader runs;
    // the platform's own switch for it is set here (the offscreen platform has no reader to ask).
    AccessibilityEvents()
        : platform_(QGuiApplicationPrivate::platformIntegration()->accessibility()) {
        Recorded().clear();
        previous_ = QAccessible::installUpdateHandler(&Record);
        if (platform_) {
            wasActive_ = platform_->isActive();
            platform_->setActive(true);
        }
    }
    ~AccessibilityEvents() {
        if (platform_)
            platform_->setActive(wasActive_);
        QAccessible::installUpdateHandler(previous_);
        Recorded().clear();
    }
    bool Active() const { return QAccessible::isActive(); }
    AccessibilityEvents(const AccessibilityEvents&) = delete;
    AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

    long Count(const QObject* object, QAccessible::Event type) const {
        const auto& events = Recorded();
        return std::count(events.begin(), events.end(), std::pair{object, type});
    }
    void Clear() { Recorded().clear(); }

private:
    static std::vector<std::pair<const QObject*, QAccessible::Event>>& Recorded() {
        static std::vector<std::pair<const QObject*, QAccessible::Event>> events;
        return events;
    }
    static void Record(QAccessibleEvent* event) {
        Recorded().emplace_back(event->object(), event->type());
    }

    QPlatformAccessibility* platform_;
    bool wasActive_ = false;
    QAccessible::UpdateHandler previous_ = nullptr;
};

} // namespace controls::test
