#include "core/stored_value.h"

namespace {

std::string RenderString(const std::string& AText) {
  std::string out;
  bool quoted = false;
  for (char c : AText) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20) {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(code);
      continue;
    }
    if (!quoted) out += '\'';
    quoted = true;
    out += c;
    if (c == '\'') out += '\'';
  }
  if (quoted) out += '\'';
  return out.empty() ? "''" : out;
}

}  // namespace

std::string RenderStoredValue(const TStoredValue& AValue) {
  switch (AValue.Kind) {
    case svIdent:
      return AValue.Text;
    case svString:
      return RenderString(AValue.Text);
    case svInteger:
      return std::to_string(AValue.Integer);
    case svSet: {
      std::string out = "[";
      for (const std::string& element : AValue.Elements) {
        if (out.size() > 1) out += ", ";
        out += element;
      }
      return out + "]";
    }
  }
  return {};
}
