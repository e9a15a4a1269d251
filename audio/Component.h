// The component base of the recording chain: ownership by an owner, a name, and the removal
// notification that lets a stage forget an input that is being destroyed.
//
// Components are destroyed through TComponentDeleter (owners and TComponentPtr use it). It runs
// BeforeDestruction while the whole object still exists: an output stops its pass there and an
// input tells the stages that read it to let go, so no worker ever calls into a half-destroyed
// component.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace audio {

class TComponent;

enum class TOperation { opInsert, opRemove };

struct TComponentDeleter {
    void operator()(TComponent* component) const noexcept;
};

template <typename T> using TComponentPtr = std::unique_ptr<T, TComponentDeleter>;

// Creates a component that is not owned by another one.
template <typename T, typename... Args> TComponentPtr<T> MakeComponent(Args&&... args) {
    return TComponentPtr<T>(std::make_unique<T>(std::forward<Args>(args)...).release());
}

// Components are created, wired and destroyed on the GUI thread.
class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Creates a component owned by this one; it is destroyed with its owner, the last created
    // first.
    template <typename T, typename... Args> T* CreateComponent(Args&&... args) {
        TComponentPtr<T> component = MakeComponent<T>(std::forward<Args>(args)...);
        T* created = component.get();
        InsertComponent(TComponentPtr<TComponent>(component.release()));
        return created;
    }
    // Destroys every owned component, the last created first.
    void DestroyComponents();

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    bool Destroying() const { return FDestroying; }

    // Asks for Notification(AComponent, opRemove) on this component when AComponent is destroyed
    // (and the other way round).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

protected:
    // A component that references AComponent drops the reference when Operation is opRemove.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Runs before any destructor; overrides call the base last.
    virtual void BeforeDestruction();

private:
    friend struct TComponentDeleter;
    void InsertComponent(TComponentPtr<TComponent> component);
    void SendRemovalNotifications();

    TComponent* FOwner = nullptr;
    std::string FName;
    bool FDestroying = false;
    std::vector<TComponentPtr<TComponent>> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

} // namespace audio
