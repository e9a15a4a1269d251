// The observers of one core object. A view subscribes for as long as it lives; the subscription
// ends by itself when the view is destroyed. GUI thread only.
#pragma once

#include "station/core/StationObserver.h"

#include <functional>
#include <vector>

namespace station {

class ObserverList;

// Holds one observer in its list until destroyed.
class Subscription {
public:
    Subscription() = default;
    Subscription(ObserverList& list, StationObserver& observer, bool first = false);
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();

private:
    void End();
    ObserverList* list_ = nullptr;
    StationObserver* observer_ = nullptr;
};

class ObserverList {
public:
    ObserverList() = default;
    ObserverList(const ObserverList&) = delete;
    ObserverList& operator=(const ObserverList&) = delete;

    [[nodiscard]] Subscription Subscribe(StationObserver& observer) {
        return Subscription(*this, observer);
    }
    // Called before the observers that subscribed in the usual way: a record of the day (the log)
    // hears of a failure before an observer shows it in a box that waits for the operator.
    [[nodiscard]] Subscription SubscribeFirst(StationObserver& observer) {
        return Subscription(*this, observer, true);
    }
    // Calls `notify` for every observer, in the order they subscribed. An observer that leaves
    // meanwhile is not called any more.
    void Notify(const std::function<void(StationObserver&)>& notify);
    void Tell(const OperatorMessage& message);

private:
    friend class Subscription;
    void Add(StationObserver* observer, bool first);
    void Remove(StationObserver* observer);

    std::vector<StationObserver*> first_; // called before the others
    std::vector<StationObserver*> observers_;
    int notifying_ = 0;
};

} // namespace station
