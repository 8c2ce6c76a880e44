#pragma once
// Tokens of the X file text format. Separators (',' and ';') are tokens of their own, numbers carry
// their value, and every token its line for error messages.
#include <cstdint>
#include <string>
#include <string_view>

namespace velor {

enum class XTokenKind {
    End,
    Name,
    Number,
    String,        // text without the quotes
    Guid,          // text without the angle brackets
    OpenBrace,
    CloseBrace,
    Separator,     // ',' or ';'
    OpenBracket,
    CloseBracket,
    Invalid,       // text is what went wrong
};

struct XToken {
    XTokenKind kind = XTokenKind::End;
    std::string_view text;
    double number = 0;      // Number only
    bool integral = false;  // Number written without '.' or exponent
    uint32_t line = 1;
};

class XLexer {
public:
    XLexer(std::string_view text, uint32_t firstLine) : text_(text), line_(firstLine) {}
    XToken Next();
    uint32_t Line() const { return line_; }

private:
    void SkipSpaceAndComments();

    std::string_view text_;
    size_t pos_ = 0;
    uint32_t line_;
    std::string message_;  // what an Invalid token's text views
};

// A short printable description of a token for error messages ("'{'", "number 3", "end of file").
std::string_view DescribeTokenKind(XTokenKind kind);

}  // namespace velor
