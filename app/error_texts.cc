#include "app/error_texts.h"

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

#include <string_view>
#include <typeinfo>

#include "app/application_title.h"
#include "core/exception.h"

namespace {

// The class name as declared, not as the compiler encodes it.
std::string ClassName(const std::type_info& AType) {
#if defined(__GNUG__)
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(AType.name(), nullptr, nullptr, &status), &std::free);
  if (status == 0) return name.get();
  return AType.name();
#else
  // MSVC names the kind before the class: "class EDatabaseError".
  std::string_view name = AType.name();
  for (const std::string_view kind : {"class ", "struct "}) {
    if (name.starts_with(kind)) name.remove_prefix(kind.size());
  }
  return std::string(name);
#endif
}

}  // namespace

std::string ApplicationErrorText(std::exception_ptr AError) {
  try {
    std::rethrow_exception(AError);
  } catch (const std::exception& error) {
    return ClassName(typeid(error)) + ": " + error.what();
  } catch (...) {
    return "Unknown error";
  }
}

TErrorBox DefaultHandlerBox(std::exception_ptr AError) {
  try {
    std::rethrow_exception(AError);
  } catch (const Exception& error) {
    std::string text = error.Message();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return {kApplicationTitle, text};
  } catch (...) {
    return {kApplicationErrorCaption, ApplicationErrorText(AError)};
  }
}
