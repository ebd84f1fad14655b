// TComponent: the base of every non-visual part. A component may have an
// owner, which frees it; a name, used in error messages; a state telling
// whether it is being restored from a stored description; and it may ask to
// be told when another component goes away.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/persistent.h"

enum TComponentStateFlag {
  csLoading,    // being restored from a stored description; Loaded() ends it
  csDesigning,  // hosted in a visual designer; never the case at run time
};

// A set of TComponentStateFlag.
class TComponentState {
 public:
  bool Contains(TComponentStateFlag AFlag) const { return (FBits & Bit(AFlag)) != 0; }
  void Include(TComponentStateFlag AFlag) { FBits |= Bit(AFlag); }
  void Exclude(TComponentStateFlag AFlag) { FBits &= ~Bit(AFlag); }

 private:
  static unsigned Bit(TComponentStateFlag AFlag) { return 1u << AFlag; }
  unsigned FBits = 0;
};

// What happened to the component a Notification() is about.
enum TOperation {
  opRemove,  // it is being freed; the receiver must drop every reference to it
};

class TComponent : public TPersistent {
 public:
  // A component owned by `AOwner` (which frees it), or by nobody when null.
  explicit TComponent(TComponent* AOwner);
  // Tells every component that asked through FreeNotification, frees the
  // owned components (last created first), leaves the owner's list and has
  // the owner tell its remaining components (Notification).
  virtual ~TComponent();

  TComponent* Owner() const { return FOwner; }
  // The owned components, in creation order.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int AIndex) const { return FComponents.at(AIndex); }
  // Frees the owned components, last created first. A derived owner whose
  // components use its own members calls this first in its destructor.
  void DestroyComponents();
  // The owned component named exactly `AName`, or null.
  TComponent* FindComponent(std::string_view AName) const;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& AName) { FName = AName; }

  const TComponentState& ComponentState() const { return FComponentState; }
  // Marks the component as being restored from a stored description.
  void BeginLoading() { FComponentState.Include(csLoading); }
  void SetDesigning(bool AValue);

  // A subcomponent is part of its owner; errors raised for it name the owner too.
  bool IsSubComponent() const { return FSubComponent; }
  void SetSubComponent(bool AValue) { FSubComponent = AValue; }

  // Links this component and `AComponent`: whichever is freed first is
  // announced to the other through Notification(it, opRemove).
  void FreeNotification(TComponent* AComponent);
  // Withdraws a FreeNotification() in both directions.
  void RemoveFreeNotification(TComponent* AComponent);

  // Ends loading: called once the whole stored description is restored.
  // Overrides do their deferred work and then call this.
  virtual void Loaded();

 protected:
  // `AComponent` is going away (opRemove): drop every reference to it. It is
  // partly destroyed already, so only its address may be used. The base
  // passes the notice on to the owned components; overrides call it too.
  virtual void Notification(TComponent* AComponent, TOperation AOperation);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);

  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;  // components linked through FreeNotification
  std::string FName;
  TComponentState FComponentState;
  bool FSubComponent = false;
};
