#include "engine/mesh/xfile/xfile_lexer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velor {

namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-' || c == '+';
}

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// True when a number from_chars found out of range is out of range because it is too close to 0.
bool Underflows(std::string_view digits) {
    const std::string copy(digits);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    return errno == ERANGE && std::fabs(value) < 1.0;
}

// std::from_chars for a double, in the decimal and scientific forms it accepts. The browser build's
// C++ library has only the integer overloads; there strtod reads the same text, stopped where
// from_chars stops (before a hexadecimal 'x': word characters hold no space).
std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000
    std::string copy(first, last);
    const size_t x = copy.find_first_of("xX");
    if (x != std::string::npos) copy.resize(x);
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod(copy.c_str(), &end);
    const char* stop = first + (end - copy.c_str());
    if (stop == first) return {first, std::errc::invalid_argument};
    if (errno == ERANGE) return {stop, std::errc::result_out_of_range};
    value = read;
    return {stop, std::errc()};
#else
    return std::from_chars(first, last, value);
#endif
}

}  // namespace

void XLexer::SkipSpaceAndComments() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') {
            ++line_;
            ++pos_;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '#' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
            while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        } else {
            return;
        }
    }
}

XToken XLexer::Next() {
    SkipSpaceAndComments();
    XToken token;
    token.line = line_;
    if (pos_ >= text_.size()) {
        // The end of a file whose last line ends with a newline is on that last line.
        if (!text_.empty() && text_.back() == '\n' && line_ > 1) token.line = line_ - 1;
        return token;
    }
    const char c = text_[pos_];
    switch (c) {
    case '{': token.kind = XTokenKind::OpenBrace; token.text = text_.substr(pos_++, 1); return token;
    case '}': token.kind = XTokenKind::CloseBrace; token.text = text_.substr(pos_++, 1); return token;
    case '[': token.kind = XTokenKind::OpenBracket; token.text = text_.substr(pos_++, 1); return token;
    case ']': token.kind = XTokenKind::CloseBracket; token.text = text_.substr(pos_++, 1); return token;
    case ',':
    case ';': token.kind = XTokenKind::Separator; token.text = text_.substr(pos_++, 1); return token;
    case '"':
    case '<': {
        const char close = c == '"' ? '"' : '>';
        const size_t end = text_.find(close, pos_ + 1);
        if (end == std::string_view::npos) {
            token.kind = XTokenKind::Invalid;
            token.text = c == '"' ? "string not closed before the end of the file"
                                  : "'<' of a GUID not closed before the end of the file";
            pos_ = text_.size();
            return token;
        }
        token.kind = c == '"' ? XTokenKind::String : XTokenKind::Guid;
        token.text = text_.substr(pos_ + 1, end - pos_ - 1);
        for (char ch : token.text)
            if (ch == '\n') ++line_;
        pos_ = end + 1;
        return token;
    }
    default: break;
    }
    if (!IsWordChar(c)) {
        char what[48];
        const unsigned byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127) std::snprintf(what, sizeof what, "unexpected character '%c'", c);
        else std::snprintf(what, sizeof what, "unexpected byte 0x%02X", byte);
        message_ = what;
        token.kind = XTokenKind::Invalid;
        token.text = message_;
        ++pos_;
        return token;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    token.text = text_.substr(start, pos_ - start);
    token.kind = XTokenKind::Name;
    if (StartsNumber(c)) {
        std::string_view digits = token.text;
        if (digits.front() == '+') digits.remove_prefix(1);
        double value = 0;
        auto [end, error] = ReadDouble(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc::result_out_of_range && Underflows(digits)) {
            // Too small for a double: D3DX reads it as 0, and so do we.
            value = 0;
            error = std::errc();
        }
        if (error == std::errc::result_out_of_range || (error == std::errc() && !std::isfinite(value))) {
            token.kind = XTokenKind::Invalid;
            token.text = "number out of range";
        } else if (error == std::errc() && end == digits.data() + digits.size()) {
            token.kind = XTokenKind::Number;
            token.number = value;
            token.integral = digits.find_first_of(".eE") == std::string_view::npos;
        }
    }
    return token;
}

std::string_view DescribeTokenKind(XTokenKind kind) {
    switch (kind) {
    case XTokenKind::End: return "the end of the file";
    case XTokenKind::Name: return "a name";
    case XTokenKind::Number: return "a number";
    case XTokenKind::String: return "a string";
    case XTokenKind::Guid: return "a GUID";
    case XTokenKind::OpenBrace: return "'{'";
    case XTokenKind::CloseBrace: return "'}'";
    case XTokenKind::Separator: return "a separator";
    case XTokenKind::OpenBracket: return "'['";
    case XTokenKind::CloseBracket: return "']'";
    case XTokenKind::Invalid: return "an invalid token";
    }
    return "a token";
}

}  // namespace velor
