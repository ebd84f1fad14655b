#include "db/values/same_text.h"

#include <algorithm>

namespace {

char Lower(char AChar) {
  return AChar >= 'A' && AChar <= 'Z' ? AChar - 'A' + 'a' : AChar;
}

}  // namespace

bool SameText(std::string_view A, std::string_view B) {
  return std::ranges::equal(A, B, [](char x, char y) { return Lower(x) == Lower(y); });
}
