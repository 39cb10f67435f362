#pragma once

#include <map>
#include <string>
#include <vector>

// The command side of a Hayes modem: it takes one received command line and says what the
// modem sends back. Replies can be scripted per command to act out a busy line, an error,
// a modem that stays silent or one whose reply arrives in two pieces.
class HayesModem {
public:
    // What the modem does for one command line.
    enum class Answer { Natural, Ok, Connect, Busy, Error, NoDialtone, NoCarrier, Silence, Split };

    // Bytes to send, in pieces: a split reply has two, sent with a pause between them.
    struct Reply {
        std::string echo;
        std::vector<std::string> pieces;
    };

    // "OK", "BUSY", "ERROR", "NO CARRIER", "NO DIALTONE", "CONNECT", "silence" (nothing comes
    // back, not even the echo) or "split" (the modem's own reply in two pieces). False for
    // anything else.
    static bool parseAnswer(const std::string& text, Answer* answer);

    // A command ending in '*' matches every command line that starts with the rest; otherwise
    // the whole line must match. Case is ignored, as a modem does. The first match counts.
    void script(const std::string& command, Answer answer);

    // The answer for commands no script names (Natural: what the modem itself would say).
    void setDefaultAnswer(Answer answer) { defaultAnswer_ = answer; }

    Reply handleLine(const std::string& line);

private:
    Answer naturalResult(const std::string& line);
    Answer scriptedAnswer(const std::string& line) const;
    std::string format(Answer result) const;

    std::vector<std::pair<std::string, Answer>> scripts_;
    Answer defaultAnswer_ = Answer::Natural;
    bool echo_ = true;
    bool quiet_ = false;
    bool verbose_ = true;
};
