#include "audio/Component.h"

#include "audio/EventHandler.h"

#include <algorithm>

namespace audio {

void TComponentDeleter::operator()(TComponent* component) const noexcept {
    if (component == nullptr)
        return;
    component->BeforeDestruction();
    std::default_delete<TComponent>()(component);
}

TComponent::~TComponent() {
    FDestroying = true;
    DestroyComponents();
    // Covers components destroyed without the deleter; normally the list is empty by now.
    SendRemovalNotifications();
    DiscardEventsOf(this);
}

void TComponent::BeforeDestruction() {
    FDestroying = true;
    SendRemovalNotifications();
}

void TComponent::SendRemovalNotifications() {
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = other->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponentPtr<TComponent> last = std::move(FComponents.back());
        FComponents.pop_back();
        last.reset();
    }
}

void TComponent::InsertComponent(TComponentPtr<TComponent> component) {
    component->FOwner = this;
    FComponents.push_back(std::move(component));
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& back = AComponent->FFreeNotifies;
    if (std::find(back.begin(), back.end(), this) == back.end())
        back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr)
        return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    auto& back = AComponent->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    (void)AComponent;
    (void)Operation;
}

} // namespace audio
