#include "config/published_config.h"

#include "config/vantor_ini.h"
#include "config/vt_config_info.h"
#include "config/vt_custom_config_info.h"

namespace {

// A Boolean property of TVantorIni that decides whether others are stored.
using StoredCondition = bool (TVantorIni::*)() const;

// Adds property `AName` of type T, stored only while `AStoredWhile` holds for
// the component and the value is not T's default (False or empty).
template <class T>
void AddStoredWhile(TClassBuilder<TVantorIni>& AClass, std::string AName,
                    std::function<T(const TVantorIni&)> AGet,
                    std::function<void(TVantorIni&, T)> ASet, StoredCondition AStoredWhile,
                    property_kinds::TCodec<T> ACodec) {
  AClass.Defined(
      std::move(AName),
      [ASet, ACodec](TVantorIni& AIni, const TStoredValue& AValue) {
        ASet(AIni, ACodec.Decode(AValue));
      },
      [AGet, AStoredWhile, ACodec](const TVantorIni& AIni) -> std::optional<TStoredValue> {
        const T value = AGet(AIni);
        if (!(AIni.*AStoredWhile)() || value == T{}) return std::nullopt;
        return ACodec.Encode(value);
      });
}

}  // namespace

void RegisterConfigClasses(TClassRegistry& AClasses, const platform::Disk& ADisk) {
  using property_kinds::BooleanCodec;
  using property_kinds::StringCodec;
  using Ini = TVantorIni;
  constexpr StoredCondition kSettings = &Ini::OverrideSettings;
  auto ini = AClasses.Component<Ini>(
      "TVantorIni", "", [&ADisk](TComponent* AOwner) { return new Ini(AOwner, ADisk); });
  ini.Boolean("OverrideIniFileName", &Ini::OverrideIniFileName, &Ini::SetOverrideIniFileName, false)
      .Boolean("OverrideSettings", &Ini::OverrideSettings, &Ini::SetOverrideSettings, false);
  AddStoredWhile<bool>(ini, "PagingEnabled", &Ini::PagingEnabled, &Ini::SetPagingEnabled, kSettings,
                       BooleanCodec());
  AddStoredWhile<bool>(ini, "IsMobile", &Ini::IsMobile, &Ini::SetIsMobile, kSettings,
                       BooleanCodec());
  AddStoredWhile<std::string>(ini, "VantorIni", &Ini::VantorIni, &Ini::SetVantorIni,
                              &Ini::OverrideIniFileName, StringCodec());
  AddStoredWhile<std::string>(ini, "ConnectionString", &Ini::ConnectionString,
                              &Ini::SetConnectionString, kSettings, StringCodec());
  ini.String("ConnectionStringOverlay", &Ini::ConnectionStringOverlay,
             &Ini::SetConnectionStringOverlay);
  AddStoredWhile<std::string>(ini, "HelpFilePath", &Ini::HelpFilePath, &Ini::SetHelpFilePath,
                              kSettings, StringCodec());
  AddStoredWhile<std::string>(ini, "LogFilePath", &Ini::LogFilePath, &Ini::SetLogFilePath,
                              kSettings, StringCodec());
  AddStoredWhile<std::string>(ini, "ServerKey", &Ini::ServerKey, &Ini::SetServerKey, kSettings,
                              StringCodec());
  ini.ReadOnly("LibPath");
  AddStoredWhile<std::string>(ini, "LibPathUnexpanded", &Ini::LibPathUnexpanded,
                              &Ini::SetLibPathUnexpanded, kSettings, StringCodec());

  AClasses.Persistent<TVtCustomConfigInfo>("TVtCustomConfigInfo", "TVantorIni")
      .Defined(
          "SkipLookups",
          [](TVtCustomConfigInfo& AInfo, const TStoredValue& AValue) {
            AInfo.SetSkipLookups(property_kinds::BooleanCodec().Decode(AValue));
          },
          // A designer's choice for its session, not part of any window.
          [](const TVtCustomConfigInfo&) -> std::optional<TStoredValue> { return std::nullopt; });
  AClasses.Component<TVtConfigInfo>(
      "TVtConfigInfo", "TVtCustomConfigInfo",
      [&ADisk](TComponent* AOwner) { return new TVtConfigInfo(AOwner, ADisk); });
}
