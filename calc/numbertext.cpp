// Number reader and number texts; all locale-independent (from_chars/to_chars).
#include "calc/numbertext.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace calc
{

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks the text the way the reader does, skipping blanks between any two
// characters it takes.
class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_text(text) {}
    char peek()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void take() { ++m_pos; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

constexpr long kExponentCap = 100000; // far past the double range either way

// The usual operand, a sign and digits with at most one point, parsed directly; nothing for
// anything else, which takes the long way. Both ways round correctly, so they agree.
std::optional<double> plainNumber(std::string_view text)
{
    // Blanks around the sign and the digits, as a bracket's value and the operators leave them.
    const auto trimLeft = [&text] {
        while (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
    };
    trimLeft();
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    trimLeft();
    bool digit = false;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point)
            point = true;
        else if (isDigit(c))
            digit = true;
        else
            return std::nullopt;
    }
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (!digit || ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

double readNumber(std::string_view text)
{
    if (const auto value = plainNumber(text))
        return *value;
    Scanner in(text);
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.take();
    }
    std::string digits;  // significant digits, leading zeros dropped
    long pointShift = 0; // decimal exponent correction from the point
    bool seenPoint = false;
    bool seenDigit = false;
    for (char c = in.peek(); isDigit(c) || (c == '.' && !seenPoint); c = in.peek()) {
        in.take();
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        seenDigit = true;
        if (digits.empty() && c == '0') {
            if (seenPoint)
                --pointShift;
            continue;
        }
        digits.push_back(c);
        if (seenPoint)
            --pointShift;
    }
    if (!seenDigit)
        return 0.0;

    long exponent = 0;
    if (char c = in.peek(); c == 'E' || c == 'e') {
        in.take();
        bool expNegative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            expNegative = in.peek() == '-';
            in.take();
        }
        for (char d = in.peek(); isDigit(d); d = in.peek()) {
            in.take();
            exponent = std::min(exponent * 10 + (d - '0'), kExponentCap);
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (digits.empty())
        return negative ? -0.0 : 0.0;

    const long decimalExponent = exponent + pointShift;
    // Magnitude is digits * 10^decimalExponent; the leading digit sits at
    // 10^(digits.size() - 1 + decimalExponent).
    const long leading = static_cast<long>(digits.size()) - 1 + decimalExponent;
    double value = 0.0;
    if (leading > 400) {
        value = std::numeric_limits<double>::infinity();
    } else if (leading < -400) {
        value = 0.0;
    } else {
        std::string clean = digits + "e" + std::to_string(decimalExponent);
        auto [ptr, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
        if (ec == std::errc::result_out_of_range)
            value = leading > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::string numberText(double value, char decimalSep)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0.0)
        return "0";
    // A whole number below 1E+15 is its own 15-digit text.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        std::array<char, 24> whole{};
        const auto end =
            std::to_chars(whole.data(), whole.data() + whole.size(), static_cast<long long>(value))
                .ptr;
        return std::string(whole.data(), end);
    }

    // 15 significant digits, correctly rounded: d.dddddddddddddde+XXX
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                             std::chars_format::scientific, 14);
    assert(res.ec == std::errc{});
    std::string_view sci(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    const auto ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c))
            digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::string_view expText = sci.substr(ePos + 1);
    if (expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    std::string out = value < 0 ? "-" : "";
    const int n = static_cast<int>(digits.size());
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            if (n <= exponent + 1) {
                out += digits;
                out.append(static_cast<std::size_t>(exponent + 1 - n), '0');
            } else {
                out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
                out += decimalSep;
                out += digits.substr(static_cast<std::size_t>(exponent + 1));
            }
        } else {
            out += '0';
            out += decimalSep;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        }
        return out;
    }
    out += digits[0];
    if (n > 1) {
        out += decimalSep;
        out += digits.substr(1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10)
        out += '0';
    out += std::to_string(magnitude);
    return out;
}

std::string plainNumberText(double value)
{
    std::string text = numberText(value, '.');
    if (text.starts_with("0."))
        text.erase(0, 1);
    else if (text.starts_with("-0."))
        text.erase(1, 1);
    return text;
}

std::string signedNumberText(double value)
{
    std::string text = plainNumberText(value);
    if (text.front() != '-')
        text.insert(text.begin(), ' ');
    return text;
}

double roundToPlaces(double value, int places)
{
    assert(places >= 0 && places <= 15);
    if (!std::isfinite(value))
        return value;
    // to_chars with a precision rounds the exact binary value, ties to even;
    // 1e308 in fixed form with 15 places needs about 330 characters.
    std::array<char, 400> buf{};
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, places);
    assert(res.ec == std::errc{});
    double rounded = 0.0;
    std::from_chars(buf.data(), res.ptr, rounded);
    return rounded;
}

} // namespace calc
