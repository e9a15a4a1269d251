#include "station/core/OperationGate.h"

#include <utility>

namespace station {

OperationGate::Turn::Turn(Turn&& other) noexcept : gate_(std::exchange(other.gate_, nullptr)) {}

OperationGate::Turn::~Turn() {
    if (gate_ == nullptr)
        return;
    try {
        gate_->Leave();
    } catch (...) {
        // The gate is open again all the same; an observer that failed to show it has its own
        // failure to report.
    }
}

std::optional<OperationGate::Turn> OperationGate::Take() {
    if (taken_)
        return std::nullopt;
    taken_ = true;
    if (changed_)
        changed_();
    return Turn(*this);
}

void OperationGate::Leave() {
    taken_ = false;
    if (changed_)
        changed_();
}

} // namespace station
