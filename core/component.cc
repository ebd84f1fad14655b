#include "core/component.h"

#include <algorithm>

namespace {

void Erase(std::vector<TComponent*>& AList, TComponent* AComponent) {
  AList.erase(std::remove(AList.begin(), AList.end(), AComponent), AList.end());
}

bool Holds(const std::vector<TComponent*>& AList, const TComponent* AComponent) {
  return std::find(AList.begin(), AList.end(), AComponent) != AList.end();
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner != nullptr) FOwner->Insert(this);
}

TComponent::~TComponent() {
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Erase(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) {
    FOwner->Remove(this);
    // Its siblings may refer to it without a link of their own: the owner
    // passes the removal on to every component it still owns.
    FOwner->Notification(this, opRemove);
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;  // already out of the list
    delete last;
  }
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  for (TComponent* component : FComponents) {
    if (component->FName == AName) return component;
  }
  return nullptr;
}

void TComponent::SetDesigning(bool AValue) {
  if (AValue) {
    FComponentState.Include(csDesigning);
  } else {
    FComponentState.Exclude(csDesigning);
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (!Holds(FFreeNotifies, AComponent)) FFreeNotifies.push_back(AComponent);
  if (!Holds(AComponent->FFreeNotifies, this)) AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  Erase(FFreeNotifies, AComponent);
  Erase(AComponent->FFreeNotifies, this);
}

void TComponent::Loaded() {
  FComponentState.Exclude(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation AOperation) {
  if (AOperation == opRemove) Erase(FFreeNotifies, AComponent);
  // By index from the end, clamped: a receiver may free owned components.
  for (std::size_t i = FComponents.size(); i > 0; i = std::min(i - 1, FComponents.size())) {
    FComponents[i - 1]->Notification(AComponent, AOperation);
  }
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
}

void TComponent::Remove(TComponent* AComponent) {
  Erase(FComponents, AComponent);
}
