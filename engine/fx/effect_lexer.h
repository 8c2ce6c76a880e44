#pragma once
// Tokens of the effect language: identifiers, numbers and one-character punctuation, with `//` and
// `/* */` comments skipped. GLSL bodies are not tokenised: the parser asks for the raw text up to the
// brace that closes the block.
#include <string>
#include <string_view>

namespace velor {

enum class TokenKind { End, Identifier, Number, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;     // identifier or number as written; the character for punctuation
    double number = 0;    // Number
    bool isInteger = false;  // Number written without '.', exponent or 'f' (hex included)
    int line = 0;
};

class EffectLexer {
public:
    explicit EffectLexer(std::string_view source) : src_(source) {}

    // The next token; a character the language does not use is returned as punctuation and
    // reported by the parser. `error` is set for a malformed number or an unclosed comment.
    Token Next();
    // Text from the current position up to the '}' matching an already consumed '{', which is
    // consumed too. Braces inside GLSL comments do not count. False when the file ends first.
    bool ReadBalancedBlock(std::string* body, int* startLine);

    const std::string& Error() const { return error_; }
    int ErrorLine() const { return errorLine_; }
    int Line() const { return line_; }

private:
    bool SkipSpaceAndComments();
    char Peek(size_t ahead = 0) const { return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0'; }
    void Advance();
    void Fail(const std::string& message, int line);

    std::string_view src_;
    size_t pos_ = 0;
    int line_ = 1;
    std::string error_;
    int errorLine_ = 0;
};

}  // namespace velor
