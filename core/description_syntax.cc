#include "core/description_syntax.h"

#include <cctype>
#include <optional>

#include "core/read_error.h"

namespace {

bool IsIdentStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Reads one line's pieces, left to right; every failure names the line.
class LineScanner {
 public:
  LineScanner(std::string_view AText, int ALine) : FText(AText), FLine(ALine) {}

  [[noreturn]] void Fail(const std::string& AWhat) const {
    throw EReadError("Line " + std::to_string(FLine) + ": " + AWhat);
  }

  void SkipBlanks() {
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t')) ++FPos;
  }
  bool AtEnd() {
    SkipBlanks();
    return FPos >= FText.size();
  }
  bool Accept(char c) {
    SkipBlanks();
    if (FPos < FText.size() && FText[FPos] == c) {
      ++FPos;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Accept(c)) Fail(std::string("'") + c + "' expected");
  }
  void ExpectEnd() {
    if (!AtEnd()) Fail("unexpected text \"" + std::string(FText.substr(FPos)) + "\"");
  }

  std::string Identifier() {
    SkipBlanks();
    if (FPos >= FText.size() || !IsIdentStart(FText[FPos])) Fail("identifier expected");
    const std::size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    return std::string(FText.substr(start, FPos - start));
  }

  // Identifiers joined by dots.
  std::string Path() {
    std::string path = Identifier();
    while (FPos < FText.size() && FText[FPos] == '.') {
      ++FPos;
      path += '.' + Identifier();
    }
    return path;
  }

  TStoredValue Value() {
    SkipBlanks();
    if (FPos >= FText.size()) Fail("value expected");
    const char c = FText[FPos];
    if (c == '\'' || c == '#') return TStoredValue::String(StringValue());
    if (c == '[') return SetValue();
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return IntegerValue();
    return TStoredValue::Ident(Identifier());
  }

 private:
  std::string StringValue() {
    std::string text;
    while (FPos < FText.size()) {
      if (FText[FPos] == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size()) Fail("unterminated string");
          if (FText[FPos] == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
              text += '\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          text += FText[FPos++];
        }
      } else if (FText[FPos] == '#') {
        ++FPos;
        const std::size_t start = FPos;
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
        if (FPos == start || FPos - start > 3) Fail("character code expected after '#'");
        const int code = std::stoi(std::string(FText.substr(start, FPos - start)));
        if (code > 127) Fail("character code above 127");
        text += static_cast<char>(code);
      } else {
        break;
      }
    }
    return text;
  }

  TStoredValue IntegerValue() {
    const std::size_t start = FPos;
    if (FText[FPos] == '-') ++FPos;
    const std::size_t digits = FPos;
    while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
    if (FPos == digits || FPos - digits > 18) Fail("integer expected");
    return TStoredValue::Int(std::stoll(std::string(FText.substr(start, FPos - start))));
  }

  TStoredValue SetValue() {
    Expect('[');
    std::vector<std::string> elements;
    if (!Accept(']')) {
      do {
        elements.push_back(Identifier());
      } while (Accept(','));
      Expect(']');
    }
    return TStoredValue::Set(std::move(elements));
  }

  std::string_view FText;
  int FLine;
  std::size_t FPos = 0;
};

}  // namespace

std::vector<TStoredObjectText> ParseDescription(std::string_view AText) {
  std::vector<TStoredObjectText> objects;
  std::optional<TStoredObjectText> open;
  int line = 0;
  std::size_t start = 0;
  while (start <= AText.size()) {
    std::size_t stop = AText.find('\n', start);
    if (stop == std::string_view::npos) stop = AText.size();
    std::string_view text = AText.substr(start, stop - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    start = stop + 1;
    ++line;

    LineScanner scan(text, line);
    if (scan.AtEnd()) continue;
    if (text.substr(text.find_first_not_of(" \t")).starts_with("//")) continue;
    const std::string word = scan.Path();
    if (word == "object") {
      if (open) scan.Fail("\"end\" expected before the next object");
      TStoredObjectText object;
      object.Name = scan.Identifier();
      object.Line = line;
      scan.Expect(':');
      object.ClassName = scan.Identifier();
      scan.ExpectEnd();
      open = std::move(object);
    } else if (word == "end") {
      if (!open) scan.Fail("\"end\" without \"object\"");
      scan.ExpectEnd();
      objects.push_back(std::move(*open));
      open.reset();
    } else {
      if (!open) scan.Fail("\"object\" expected");
      scan.Expect('=');
      TStoredValue value = scan.Value();
      scan.ExpectEnd();
      open->Entries.push_back({word, std::move(value), line});
    }
  }
  if (open) {
    throw EReadError("Line " + std::to_string(open->Line) + ": object " + open->Name +
                     " has no \"end\"");
  }
  return objects;
}
