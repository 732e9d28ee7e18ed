// The four expression shapes the calculator is measured on, and a plain evaluator to measure
// it against: one pass over the text, usual precedence, every
// intermediate value still written to 15 digits and read back, as the calculator does.
#pragma once

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace shapes
{

inline std::string sums(long terms)
{
    std::string text = "1.5";
    for (long i = 1; i < terms; ++i)
        text += i % 2 ? "+2.25" : "-0.75";
    return text;
}

// Quotients stay near 1: /2 and /0.5 alternate.
inline std::string divisions(long terms)
{
    std::string text = "3";
    for (long i = 1; i < terms; ++i)
        text += i % 2 ? "/2" : "/0.5";
    return text;
}

// Products, quotients, sums, a function and pi in every group of four terms.
inline std::string mixed(long terms)
{
    static const char* const parts[] = {"*1.5", "/3", "+sin0.5", "-pi"};
    std::string text = "2";
    for (long i = 1; i < terms; ++i)
        text += parts[i % 4];
    return text;
}

// ((((1)+1)+1)+1): one bracket pair per term.
inline std::string nested(long terms)
{
    std::string text(static_cast<std::size_t>(terms), '(');
    text += "1";
    for (long i = 0; i < terms; ++i)
        text += ")+1";
    return text;
}

struct Shape {
    const char* name;
    std::string (*make)(long);
};
inline constexpr std::array<Shape, 4> kShapes{{
    {"sums", sums},
    {"divisions", divisions},
    {"mixed", mixed},
    {"nested", nested},
}};

// Brackets keep their outer state on a stack of their own, so a deep nest does not recurse.
class PlainEvaluator
{
public:
    explicit PlainEvaluator(std::string_view text) : m_text(text) {}

    double run()
    {
        m_pos = 0;
        std::vector<Level> outer;
        Level level;
        for (;;) {
            if (take('(')) {
                outer.push_back(level);
                level = {};
                continue;
            }
            double value = operand();
            for (;;) {
                level.product = level.productOp == 0     ? value
                                : level.productOp == '*' ? written(level.product * value)
                                                         : written(level.product / value);
                level.productOp = 0;
                if (take('*') || take('/')) {
                    level.productOp = m_text[m_pos - 1];
                    break;
                }
                level.sum = level.sumOp == 0     ? level.product
                            : level.sumOp == '+' ? written(level.sum + level.product)
                                                 : written(level.sum - level.product);
                level.sumOp = 0;
                if (take('+') || take('-')) {
                    level.sumOp = m_text[m_pos - 1];
                    break;
                }
                if (outer.empty() || !take(')'))
                    return level.sum;
                value = level.sum;
                level = outer.back();
                outer.pop_back();
            }
        }
    }

private:
    struct Level {
        double sum = 0.0;
        char sumOp = 0; // what joins the next term to the sum; none at the first
        double product = 0.0;
        char productOp = 0;
    };

    // The 15-digit round trip of every intermediate value.
    static double written(double value)
    {
        std::array<char, 40> buf{};
        const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                       std::chars_format::scientific, 14)
                             .ptr;
        double back = 0.0;
        std::from_chars(buf.data(), end, back);
        return back;
    }

    bool take(char c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // A number, pi, or sin of a number.
    double operand()
    {
        const std::string_view rest = m_text.substr(m_pos);
        if (rest.starts_with("pi")) {
            m_pos += 2;
            return written(3.141592654);
        }
        if (rest.starts_with("sin")) {
            m_pos += 3;
            return written(std::sin(operand()));
        }
        double value = 0.0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        m_pos += static_cast<std::size_t>(end - rest.data());
        return value;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace shapes
