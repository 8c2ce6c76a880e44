#include "engine/fx/effect_lexer.h"

#include <cctype>
#include <cstdlib>

namespace velor {

void EffectLexer::Advance() {
    if (pos_ < src_.size()) {
        if (src_[pos_] == '\n') ++line_;
        ++pos_;
    }
}

void EffectLexer::Fail(const std::string& message, int line) {
    if (error_.empty()) {
        error_ = message;
        errorLine_ = line;
    }
}

bool EffectLexer::SkipSpaceAndComments() {
    for (;;) {
        char c = Peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            Advance();
        } else if (c == '/' && Peek(1) == '/') {
            while (pos_ < src_.size() && Peek() != '\n') Advance();
        } else if (c == '/' && Peek(1) == '*') {
            int start = line_;
            Advance();
            Advance();
            while (pos_ < src_.size() && !(Peek() == '*' && Peek(1) == '/')) Advance();
            if (pos_ >= src_.size()) {
                Fail("comment not closed", start);
                return false;
            }
            Advance();
            Advance();
        } else {
            return true;
        }
    }
}

static bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
static bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

Token EffectLexer::Next() {
    Token t;
    if (!SkipSpaceAndComments()) {
        t.line = line_;
        return t;  // End; the error is recorded
    }
    t.line = line_;
    if (pos_ >= src_.size()) return t;

    char c = Peek();
    if (IsIdentStart(c)) {
        size_t start = pos_;
        while (IsIdentChar(Peek())) Advance();
        t.kind = TokenKind::Identifier;
        t.text = std::string(src_.substr(start, pos_ - start));
        return t;
    }
    if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
        size_t start = pos_;
        t.kind = TokenKind::Number;
        if (c == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
            Advance();
            Advance();
            size_t digits = pos_;
            while (std::isxdigit(static_cast<unsigned char>(Peek()))) Advance();
            t.text = std::string(src_.substr(start, pos_ - start));
            if (pos_ == digits || pos_ - digits > 8) {
                Fail("malformed hexadecimal number '" + t.text + "'", t.line);
                t.kind = TokenKind::End;
                return t;
            }
            t.number = double(std::strtoul(t.text.c_str() + 2, nullptr, 16));
            t.isInteger = true;
        } else {
            bool integer = true;
            while (IsDigit(Peek())) Advance();
            if (Peek() == '.') {
                integer = false;
                Advance();
                while (IsDigit(Peek())) Advance();
            }
            if (Peek() == 'e' || Peek() == 'E') {
                size_t save = pos_;
                Advance();
                if (Peek() == '+' || Peek() == '-') Advance();
                if (!IsDigit(Peek())) {
                    pos_ = save;
                    t.text = std::string(src_.substr(start, pos_ + 1 - start));
                    Fail("malformed number '" + t.text + "'", t.line);
                    t.kind = TokenKind::End;
                    return t;
                }
                integer = false;
                while (IsDigit(Peek())) Advance();
            }
            std::string digits(src_.substr(start, pos_ - start));
            if (Peek() == 'f' || Peek() == 'F') {
                integer = false;
                Advance();
            }
            t.text = std::string(src_.substr(start, pos_ - start));
            if (IsIdentChar(Peek())) {
                Fail("malformed number '" + t.text + Peek() + "'", t.line);
                t.kind = TokenKind::End;
                return t;
            }
            t.number = std::strtod(digits.c_str(), nullptr);
            t.isInteger = integer;
        }
        return t;
    }
    t.kind = TokenKind::Punct;
    t.text = std::string(1, c);
    Advance();
    return t;
}

bool EffectLexer::ReadBalancedBlock(std::string* body, int* startLine) {
    *startLine = line_;
    size_t start = pos_;
    int depth = 1;
    while (pos_ < src_.size()) {
        char c = Peek();
        if (c == '/' && Peek(1) == '/') {
            while (pos_ < src_.size() && Peek() != '\n') Advance();
            continue;
        }
        if (c == '/' && Peek(1) == '*') {
            Advance();
            Advance();
            while (pos_ < src_.size() && !(Peek() == '*' && Peek(1) == '/')) Advance();
            Advance();
            Advance();
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) {
            *body = std::string(src_.substr(start, pos_ - start));
            Advance();
            return true;
        }
        Advance();
    }
    return false;
}

}  // namespace velor
