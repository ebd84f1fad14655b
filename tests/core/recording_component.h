// Test classes for stored descriptions: TRecorder logs its creation, every
// stored value it is given, every reference resolved, Loaded and its
// freeing, each with whether it was loading at that moment; TVtRecorder adds
// the read-only VtVersion and options with another default.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/component.h"

namespace core_test {

enum TColorKind { ckRed, ckGreen, ckBlue };
enum TTag { tgA, tgB, tgC };
enum TProviderKind { pkAuto, pkSQL, pkNative };

// A set of TTag.
class TTags {
 public:
  bool Contains(TTag ATag) const { return (FBits & (1u << ATag)) != 0; }
  void Include(TTag ATag) { FBits |= 1u << ATag; }

 private:
  unsigned FBits = 0;
};

class TRecorderOptions : public TPersistent {
 public:
  int Level() const { return FLevel; }
  void SetLevel(int AValue) { FLevel = AValue; }
  // Stored through the "Provider" entry, either as an identifier (pkSQL) or
  // as a provider string ('SQLOLEDB.1'); written back in the form it was read.
  TProviderKind Provider() const { return FProvider; }
  void SetProvider(TProviderKind AValue) { FProvider = AValue; }

  void ReadProvider(const TStoredValue& AValue);
  std::optional<TStoredValue> WriteProvider() const;

 protected:
  int FLevel = 1;

 private:
  TProviderKind FProvider = pkAuto;
  TStoredValueKind FLoadedKind = svIdent;
};

class TVtRecorderOptions : public TRecorderOptions {
 public:
  TVtRecorderOptions() { FLevel = 0; }
};

class TRecorder : public TComponent {
 public:
  // The log every recorder writes to; set by the test.
  static std::vector<std::string>* Log;

  explicit TRecorder(TComponent* AOwner)
      : TRecorder(AOwner, std::make_unique<TRecorderOptions>()) {}
  ~TRecorder() override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& AValue);
  int Count() const { return FCount; }
  void SetCount(int AValue);
  bool Flag() const { return FFlag; }
  void SetFlag(bool AValue);
  TColorKind Color() const { return FColor; }
  void SetColor(TColorKind AValue);
  TTags Tags() const { return FTags; }
  void SetTags(TTags AValue);
  TRecorder* Link() const { return FLink; }
  void SetLink(TRecorder* AValue);
  // Throws Exception(AValue).
  void SetFailure(const std::string& AValue);
  TRecorderOptions& Options() const { return *FOptions; }

  void Loaded() override;

 protected:
  TRecorder(TComponent* AOwner, std::unique_ptr<TRecorderOptions> AOptions);

 private:
  void Record(const std::string& AWhat) const;

  std::string FText;
  int FCount = 7;
  bool FFlag = true;
  TColorKind FColor = ckGreen;
  TTags FTags;
  TRecorder* FLink = nullptr;
  std::unique_ptr<TRecorderOptions> FOptions;
};

class TVtRecorder : public TRecorder {
 public:
  explicit TVtRecorder(TComponent* AOwner)
      : TRecorder(AOwner, std::make_unique<TVtRecorderOptions>()) {}
  std::string VtVersion() const { return "2.1"; }
};

// TRecorder, TVtRecorder and their options.
TClassRegistry RecorderClasses();

}  // namespace core_test
