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
  if (FOwner != nullptr) FOwner->Remove(this);
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
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
}

void TComponent::Remove(TComponent* AComponent) {
  Erase(FComponents, AComponent);
}
