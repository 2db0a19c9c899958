// The component base: a name, an owner that destroys its components with
// itself, and a state that tells whether it is being read from a stored form.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace platform {

// Anything Assign can copy from or into.
class TPersistent {
 public:
  virtual ~TPersistent() = default;
  // Copies from source; the base knows no source and raises the assignment error.
  virtual void Assign(const TPersistent& source);
  virtual std::string ClassName() const { return "TPersistent"; }
};

enum ComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2 };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  unsigned ComponentState() const { return state_; }
  void SetComponentState(unsigned state) { state_ = state; }
  bool Loading() const { return (state_ & csLoading) != 0; }
  std::size_t ComponentCount() const { return components_.size(); }
  std::string ClassName() const override { return "TComponent"; }

 private:
  void Remove(TComponent* child);
  TComponent* owner_;
  std::string name_;
  unsigned state_ = 0;
  std::vector<TComponent*> components_;
};

}  // namespace platform
