#include "app/UndoStack.h"

#include <utility>

namespace sona {

void UndoStack::Push(UndoStep step) {
    steps.push_back(std::move(step));
    while (steps.size() > kDepth) steps.pop_front();
}

void UndoStack::PushItem(RemovedItem item) {
    if (!item) return;
    UndoStep step;
    step.kind = UndoStep::kItem;
    step.item = std::move(item);
    Push(std::move(step));
}

void UndoStack::PushDesk(RemovedDesk desk) {
    UndoStep step;
    step.kind = UndoStep::kDesk;
    step.desk = std::move(desk);
    Push(std::move(step));
}

bool UndoStack::Pop(UndoStep* out) {
    if (steps.empty()) return false;
    *out = std::move(steps.back());
    steps.pop_back();
    return true;
}

}  // namespace sona
