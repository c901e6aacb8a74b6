// The component base of the GUI layer: every control, form and non-visual component has an
// owner that frees it, a name, a tag and the owner's ordered list of what it owns. Handlers
// look components up in that list (by name, or by walking it in creation order).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gui {

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  // Frees the owned components, the last created first, then leaves the owner's list.
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // The owned component with this name (names compare without regard to ASCII letter case,
  // as the toolkit's resource names do), or null.
  TComponent* FindComponent(const std::string& name) const;
  template <class T>
  T* Find(const std::string& name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // Runs once the constructor chain has finished (forms raise OnCreate here).
  virtual void AfterConstruction() {}

 private:
  void Insert(TComponent* child) { components_.push_back(child); }
  void Remove(TComponent* child);

  TComponent* owner_;
  std::vector<TComponent*> components_;
  std::string name_;
  int tag_ = 0;
};

// Event types: the first parameter is always the sender.
using TNotifyEvent = std::function<void(TComponent* sender)>;

// Creates a component and completes its construction, as the toolkit does for every
// component: the constructor, then AfterConstruction.
template <class T, class... Args>
T* Create(TComponent* owner, Args&&... args) {
  T* object = new T(owner, std::forward<Args>(args)...);
  object->AfterConstruction();
  return object;
}

}  // namespace gui
