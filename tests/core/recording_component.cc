#include "recording_component.h"

#include "core/exception.h"
#include "core/read_error.h"

namespace core_test {

namespace {

struct ProviderName {
  TProviderKind Kind;
  const char* Ident;
  const char* String;
};
constexpr ProviderName kProviders[] = {
    {pkAuto, "pkAuto", ""}, {pkSQL, "pkSQL", "SQLOLEDB.1"}, {pkNative, "pkNative", "SQLNCLI11"}};

}  // namespace

void TRecorderOptions::ReadProvider(const TStoredValue& AValue) {
  for (const ProviderName& name : kProviders) {
    if ((AValue.Kind == svIdent && AValue.Text == name.Ident) ||
        (AValue.Kind == svString && AValue.Text == name.String)) {
      FProvider = name.Kind;
      FLoadedKind = AValue.Kind;
      return;
    }
  }
  throw EReadError("Invalid property value");
}

std::optional<TStoredValue> TRecorderOptions::WriteProvider() const {
  if (FProvider == pkAuto) return std::nullopt;
  const ProviderName& name = kProviders[FProvider];
  return FLoadedKind == svString ? TStoredValue::String(name.String)
                                 : TStoredValue::Ident(name.Ident);
}

std::vector<std::string>* TRecorder::Log = nullptr;

TRecorder::TRecorder(TComponent* AOwner, std::unique_ptr<TRecorderOptions> AOptions)
    : TComponent(AOwner), FOptions(std::move(AOptions)) {
  Record("create");
}

TRecorder::~TRecorder() {
  Record("free");
}

void TRecorder::Record(const std::string& AWhat) const {
  if (Log == nullptr) return;
  const bool loading = ComponentState().Contains(csLoading);
  Log->push_back(Name() + (Name().empty() ? "" : " ") + AWhat + (loading ? " (loading)" : ""));
}

void TRecorder::SetText(const std::string& AValue) {
  FText = AValue;
  Record("Text");
}
void TRecorder::SetCount(int AValue) {
  FCount = AValue;
  Record("Count");
}
void TRecorder::SetFlag(bool AValue) {
  FFlag = AValue;
  Record("Flag");
}
void TRecorder::SetColor(TColorKind AValue) {
  FColor = AValue;
  Record("Color");
}
void TRecorder::SetTags(TTags AValue) {
  FTags = AValue;
  Record("Tags");
}
void TRecorder::SetLink(TRecorder* AValue) {
  FLink = AValue;
  Record("Link -> " + (AValue == nullptr ? std::string("none") : AValue->Name()));
}
void TRecorder::SetFailure(const std::string& AValue) {
  throw Exception(AValue);
}

void TRecorder::Loaded() {
  Record("Loaded");
  TComponent::Loaded();
}

TClassRegistry RecorderClasses() {
  TClassRegistry classes;
  classes.Persistent<TRecorderOptions>("TRecorderOptions")
      .Integer("Level", &TRecorderOptions::Level, &TRecorderOptions::SetLevel, 1)
      .Defined("Provider", &TRecorderOptions::ReadProvider, &TRecorderOptions::WriteProvider);
  classes.Persistent<TVtRecorderOptions>("TVtRecorderOptions", "TRecorderOptions")
      .Integer("Level", &TRecorderOptions::Level, &TRecorderOptions::SetLevel, 0);
  classes.Component<TRecorder>("TRecorder")
      .String("Text", &TRecorder::Text, &TRecorder::SetText)
      .Integer("Count", &TRecorder::Count, &TRecorder::SetCount, 7)
      .Boolean("Flag", &TRecorder::Flag, &TRecorder::SetFlag, true)
      .Enum<TColorKind>("Color", &TRecorder::Color, &TRecorder::SetColor, ckGreen,
                        {"ckRed", "ckGreen", "ckBlue"})
      .Set<TTags, TTag>("Tags", &TRecorder::Tags, &TRecorder::SetTags, {"tgA", "tgB", "tgC"})
      .Reference<TRecorder>("Link", &TRecorder::Link, &TRecorder::SetLink)
      .Nested("Options", &TRecorder::Options)
      .String(
          "Failure", [](const TRecorder&) { return std::string(); }, &TRecorder::SetFailure);
  classes.Component<TVtRecorder>("TVtRecorder", "TRecorder").ReadOnly("VtVersion");
  return classes;
}

}  // namespace core_test
