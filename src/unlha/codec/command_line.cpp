// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/command_line.h"

#include <array>
#include <vector>

namespace lha {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

bool isSpace(char c) { return c == ' ' || c == '\t'; }

std::optional<std::vector<Token>> tokenize(std::string_view s)
{
    std::vector<Token> out;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i == s.size())
            return out;
        Token t;
        if (s[i] == '"') {
            const std::size_t close = s.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            t.text = std::string(s.substr(i + 1, close - i - 1));
            t.quoted = true;
            i = close + 1;
            if (i < s.size() && !isSpace(s[i]))
                return std::nullopt;
        } else {
            const std::size_t start = i;
            while (i < s.size() && !isSpace(s[i])) {
                if (s[i] == '"')
                    return std::nullopt;
                ++i;
            }
            t.text = std::string(s.substr(start, i - start));
        }
        out.push_back(std::move(t));
    }
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

template <std::size_t N>
bool matches(const std::vector<Token>& tokens, const std::array<std::string_view, N>& words)
{
    if (tokens.size() != N + 2)
        return false;
    for (std::size_t i = 0; i < N; ++i)
        if (tokens[i].quoted || !equalsIgnoreCase(tokens[i].text, words[i]))
            return false;
    for (std::size_t i = N; i < N + 2; ++i)
        if (!tokens[i].quoted || tokens[i].text.empty())
            return false;
    return true;
}

constexpr std::array<std::string_view, 6> kAdd = {"a", "-n", "-a1", "-jss", "-jyko", "-gm1"};
constexpr std::array<std::string_view, 9> kExtract = {"e", "-n", "-a1", "-jss", "-jyko", "-f1", "-c1", "-m1", "-gm1"};

} // namespace

std::optional<Command> parseCommandLine(std::string_view line)
{
    const auto tokens = tokenize(line);
    if (!tokens)
        return std::nullopt;
    Command c;
    if (matches(*tokens, kAdd)) {
        c.kind = Command::Kind::Add;
        c.archive = (*tokens)[kAdd.size()].text;
        c.file = (*tokens)[kAdd.size() + 1].text;
    } else if (matches(*tokens, kExtract)) {
        c.kind = Command::Kind::Extract;
        c.archive = (*tokens)[kExtract.size()].text;
        c.file = (*tokens)[kExtract.size() + 1].text;
    } else {
        return std::nullopt;
    }
    return c;
}

} // namespace lha
