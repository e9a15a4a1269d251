#include "station/core/ObserverList.h"

#include <algorithm>
#include <utility>

namespace station {

Subscription::Subscription(ObserverList& list, StationObserver& observer, bool first)
    : list_(&list), observer_(&observer) {
    list_->Add(observer_, first);
}

Subscription::Subscription(Subscription&& other) noexcept
    : list_(std::exchange(other.list_, nullptr)),
      observer_(std::exchange(other.observer_, nullptr)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        End();
        list_ = std::exchange(other.list_, nullptr);
        observer_ = std::exchange(other.observer_, nullptr);
    }
    return *this;
}

Subscription::~Subscription() {
    End();
}

void Subscription::End() {
    if (list_ != nullptr)
        list_->Remove(observer_);
    list_ = nullptr;
    observer_ = nullptr;
}

void ObserverList::Add(StationObserver* observer, bool first) {
    (first ? first_ : observers_).push_back(observer);
}

void ObserverList::Remove(StationObserver* observer) {
    // While observers are being called the list keeps its shape; the gap is closed afterwards.
    for (std::vector<StationObserver*>* list : {&first_, &observers_}) {
        std::replace(list->begin(), list->end(), observer, static_cast<StationObserver*>(nullptr));
        if (notifying_ == 0)
            std::erase(*list, nullptr);
    }
}

void ObserverList::Notify(const std::function<void(StationObserver&)>& notify) {
    struct Depth {
        ObserverList& list;
        explicit Depth(ObserverList& l) : list(l) { ++list.notifying_; }
        ~Depth() {
            if (--list.notifying_ == 0) {
                std::erase(list.first_, nullptr);
                std::erase(list.observers_, nullptr);
            }
        }
    } depth(*this);
    for (const std::vector<StationObserver*>* list : {&first_, &observers_})
        for (std::size_t i = 0; i < list->size(); ++i)
            if (StationObserver* observer = (*list)[i])
                notify(*observer);
}

void ObserverList::Tell(const OperatorMessage& message) {
    Notify([&](StationObserver& observer) { observer.MessageForOperator(message); });
}

} // namespace station
