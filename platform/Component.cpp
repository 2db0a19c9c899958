#include "Component.h"

#include <algorithm>

namespace platform {

void TPersistent::Assign(const TPersistent& source) {
  throw EAssignError(FormatText("%s を %s に代入できません", {source.ClassName(), ClassName()}));
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  // Destroy owned components, last created first; each unlinks itself.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    delete child;
  }
  if (owner_ != nullptr) owner_->Remove(this);
}

void TComponent::Remove(TComponent* child) {
  auto it = std::find(components_.begin(), components_.end(), child);
  if (it != components_.end()) components_.erase(it);
}

}  // namespace platform
