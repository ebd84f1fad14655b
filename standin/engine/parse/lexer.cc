#include "parse/lexer.h"

#include <cctype>

#include "errors.h"

namespace standin::engine {

namespace {

bool IsWordStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c == '#' || c >= 0x80;
}
bool IsWordPart(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '#' || c == '@' || c == '$' || c >= 0x80;
}

class Lexer {
 public:
  Lexer(std::string_view sql, bool quoted_identifier)
      : sql_(sql), quoted_identifier_(quoted_identifier) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    while (SkipSpaceAndComments()) tokens.push_back(Next());
    tokens.push_back(Token{TokenKind::End, "", line_, pos_});
    return tokens;
  }

 private:
  char At(std::size_t i) const { return i < sql_.size() ? sql_[i] : '\0'; }

  void Advance(std::size_t n) {
    for (std::size_t i = 0; i < n && pos_ < sql_.size(); ++i)
      if (sql_[pos_++] == '\n') ++line_;
  }

  // Returns false at the end of the text.
  bool SkipSpaceAndComments() {
    for (;;) {
      if (pos_ >= sql_.size()) return false;
      char c = sql_[pos_];
      if (std::isspace(static_cast<unsigned char>(c))) {
        Advance(1);
      } else if (c == '-' && At(pos_ + 1) == '-') {
        while (pos_ < sql_.size() && sql_[pos_] != '\n') Advance(1);
      } else if (c == '/' && At(pos_ + 1) == '*') {
        int depth = 0;
        do {
          if (pos_ >= sql_.size()) throw UnclosedComment();
          if (sql_[pos_] == '/' && At(pos_ + 1) == '*') {
            ++depth;
            Advance(2);
          } else if (sql_[pos_] == '*' && At(pos_ + 1) == '/') {
            --depth;
            Advance(2);
          } else {
            Advance(1);
          }
        } while (depth > 0);
      } else {
        return true;
      }
    }
  }

  // Reads a quoted run starting at the opening quote; `close` doubled escapes itself.
  std::string Quoted(char close, bool is_string) {
    std::size_t start = pos_;
    Advance(1);
    std::string text;
    for (;;) {
      if (pos_ >= sql_.size()) {
        if (is_string) throw UnclosedQuote(sql_.substr(start + 1));
        throw BatchAbort(Msg(105, 15, 1,
                             "Unclosed quotation mark after the character string '" +
                                 std::string(sql_.substr(start + 1)) + "'."));
      }
      char c = sql_[pos_];
      if (c == close) {
        if (At(pos_ + 1) == close) {
          text += close;
          Advance(2);
          continue;
        }
        Advance(1);
        return text;
      }
      text += c;
      Advance(1);
    }
  }

  Token Next() {
    Token t;
    t.line = line_;
    t.offset = pos_;
    unsigned char c = static_cast<unsigned char>(sql_[pos_]);
    if ((c == 'N' || c == 'n') && At(pos_ + 1) == '\'') {
      Advance(1);
      t.kind = TokenKind::NString;
      t.text = Quoted('\'', true);
    } else if (c == '\'') {
      t.kind = TokenKind::String;
      t.text = Quoted('\'', true);
    } else if (c == '[') {
      t.kind = TokenKind::QuotedName;
      t.text = Quoted(']', false);
    } else if (c == '"') {
      t.kind = quoted_identifier_ ? TokenKind::QuotedName : TokenKind::String;
      t.text = Quoted('"', !quoted_identifier_);
    } else if (c == '0' && (At(pos_ + 1) == 'x' || At(pos_ + 1) == 'X')) {
      t.kind = TokenKind::Binary;
      Advance(2);
      while (std::isxdigit(static_cast<unsigned char>(At(pos_)))) {
        t.text += At(pos_);
        Advance(1);
      }
    } else if (std::isdigit(c) ||
               (c == '.' && std::isdigit(static_cast<unsigned char>(At(pos_ + 1))))) {
      t.kind = TokenKind::Number;
      while (std::isdigit(static_cast<unsigned char>(At(pos_))) || At(pos_) == '.') {
        t.text += At(pos_);
        Advance(1);
      }
      if ((At(pos_) == 'e' || At(pos_) == 'E') &&
          (std::isdigit(static_cast<unsigned char>(At(pos_ + 1))) ||
           ((At(pos_ + 1) == '+' || At(pos_ + 1) == '-') &&
            std::isdigit(static_cast<unsigned char>(At(pos_ + 2)))))) {
        t.text += At(pos_);
        t.text += At(pos_ + 1);
        Advance(2);
        while (std::isdigit(static_cast<unsigned char>(At(pos_)))) {
          t.text += At(pos_);
          Advance(1);
        }
      }
    } else if (c == '@') {
      t.kind = TokenKind::Variable;
      t.text = "@";
      Advance(1);
      while (IsWordPart(static_cast<unsigned char>(At(pos_)))) {
        t.text += At(pos_);
        Advance(1);
      }
    } else if (IsWordStart(c)) {
      t.kind = TokenKind::Word;
      while (IsWordPart(static_cast<unsigned char>(At(pos_)))) {
        t.text += At(pos_);
        Advance(1);
      }
    } else {
      t.kind = TokenKind::Symbol;
      static constexpr std::string_view kTwo[] = {"<=", ">=", "<>", "!=", "!<", "!>"};
      for (std::string_view two : kTwo) {
        if (sql_.substr(pos_, 2) == two) {
          t.text = two;
          Advance(2);
          return t;
        }
      }
      t.text = std::string(1, static_cast<char>(c));
      Advance(1);
    }
    return t;
  }

  std::string_view sql_;
  bool quoted_identifier_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

bool Token::Is(std::string_view keyword) const {
  if (kind != TokenKind::Word || text.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(keyword[i])))
      return false;
  return true;
}

std::vector<Token> Lex(std::string_view sql, bool quoted_identifier) {
  return Lexer(sql, quoted_identifier).Run();
}

}  // namespace standin::engine
