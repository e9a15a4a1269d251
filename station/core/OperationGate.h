// The interview's operations run one at a time. A question box runs a nested event loop, and
// assistive technology presses buttons that a modal box covers: without the gate an operation
// could start inside another one that is still waiting for the operator's answer (the close
// packing the archive while "Вы уверены?" was open, and the next recording then starting outside
// it).
#pragma once

#include <functional>
#include <optional>

namespace station {

class OperationGate {
public:
    // Held by one operation for as long as it runs; the gate opens again when it ends.
    class Turn {
    public:
        Turn(Turn&& other) noexcept;
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        Turn& operator=(Turn&&) = delete;
        ~Turn();

    private:
        friend class OperationGate;
        explicit Turn(OperationGate& gate) : gate_(&gate) {}
        OperationGate* gate_;
    };

    // `changed` runs whenever an operation takes the gate or leaves it.
    explicit OperationGate(std::function<void()> changed) : changed_(std::move(changed)) {}
    OperationGate(const OperationGate&) = delete;
    OperationGate& operator=(const OperationGate&) = delete;

    // The turn of one operation, or nothing while another operation holds it.
    [[nodiscard]] std::optional<Turn> Take();
    bool Taken() const { return taken_; }

private:
    void Leave();

    bool taken_ = false;
    std::function<void()> changed_;
};

} // namespace station
