#include "HayesModem.h"

#include <algorithm>
#include <cctype>

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

struct ResultText {
    HayesModem::Answer answer;
    const char* verbose;
    const char* numeric;
};

const ResultText kResults[] = {
    {HayesModem::Answer::Ok, "OK", "0"},
    {HayesModem::Answer::Connect, "CONNECT", "1"},
    {HayesModem::Answer::NoCarrier, "NO CARRIER", "3"},
    {HayesModem::Answer::Error, "ERROR", "4"},
    {HayesModem::Answer::NoDialtone, "NO DIALTONE", "6"},
    {HayesModem::Answer::Busy, "BUSY", "7"},
};

} // namespace

bool HayesModem::parseAnswer(const std::string& text, Answer* answer) {
    const std::string word = upper(text);
    for (const ResultText& result : kResults) {
        if (word == result.verbose) {
            *answer = result.answer;
            return true;
        }
    }
    if (word == "SILENCE")
        *answer = Answer::Silence;
    else if (word == "SPLIT")
        *answer = Answer::Split;
    else
        return false;
    return true;
}

void HayesModem::script(const std::string& command, Answer answer) {
    scripts_.emplace_back(upper(command), answer);
}

HayesModem::Reply HayesModem::handleLine(const std::string& line) {
    Reply reply;
    const bool echo = echo_;
    const Answer natural = naturalResult(line);
    Answer answer = scriptedAnswer(line);
    // A scripted silence is a modem that sends nothing back at all, not even the echo.
    if (answer == Answer::Silence)
        return reply;
    if (echo)
        reply.echo = line + "\r";
    if (answer == Answer::Natural)
        answer = natural;
    if (answer == Answer::Silence || quiet_)
        return reply;
    if (answer == Answer::Split) {
        const std::string whole = format(natural);
        const std::size_t half = whole.size() / 2;
        reply.pieces = {whole.substr(0, half), whole.substr(half)};
        return reply;
    }
    reply.pieces = {format(answer)};
    return reply;
}

HayesModem::Answer HayesModem::scriptedAnswer(const std::string& line) const {
    const std::string command = upper(line);
    for (const auto& [pattern, answer] : scripts_) {
        const bool prefix = !pattern.empty() && pattern.back() == '*';
        const std::string stem = prefix ? pattern.substr(0, pattern.size() - 1) : pattern;
        if (prefix ? command.compare(0, stem.size(), stem) == 0 : command == stem)
            return answer;
    }
    return defaultAnswer_;
}

// Runs the command's settings and says what a real modem would answer. Lines that do not start
// with "AT" are not commands; a modem answers nothing to them.
HayesModem::Answer HayesModem::naturalResult(const std::string& line) {
    const std::string command = upper(line);
    if (command.compare(0, 2, "AT") != 0)
        return Answer::Silence;
    std::size_t at = 2;
    auto digit = [&](int fallback) {
        if (at < command.size() && std::isdigit(static_cast<unsigned char>(command[at])))
            return command[at++] - '0';
        return fallback;
    };
    while (at < command.size()) {
        const char letter = command[at++];
        switch (letter) {
        case ' ':
            break;
        case 'Z':
            digit(0);
            echo_ = true;
            quiet_ = false;
            verbose_ = true;
            break;
        case 'E':
            echo_ = digit(0) != 0;
            break;
        case 'Q':
            quiet_ = digit(0) != 0;
            break;
        case 'V':
            verbose_ = digit(0) != 0;
            break;
        case 'X':
        case 'H':
        case 'L':
        case 'M':
            digit(0);
            break;
        case 'D':
            // The dial string runs to the end of the line; a trailing ';' returns to command
            // state at once, anything else would wait for a carrier that a pager never sends.
            return command.back() == ';' ? Answer::Ok : Answer::NoCarrier;
        default:
            return Answer::Error;
        }
    }
    return Answer::Ok;
}

std::string HayesModem::format(Answer result) const {
    for (const ResultText& text : kResults) {
        if (text.answer == result)
            return verbose_ ? std::string("\r\n") + text.verbose + "\r\n"
                            : std::string(text.numeric) + "\r";
    }
    return {};
}
