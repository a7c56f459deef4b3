#include "market/answer_message.h"

#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/fill_in.h"
#include "support/text_conversion.h"
#include "support/utf16.h"

namespace kesto {

namespace {

constexpr std::size_t kMaxMessageBytes = 200;

// The text of a JSON string starting right after its opening quote, its simple escapes undone.
std::string JsonStringAt(std::string_view text, std::size_t start) {
    std::string value;
    for (std::size_t at = start; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) {
            const char escaped = text[++at];
            value += escaped == 'n' || escaped == 't' || escaped == 'r' ? ' ' : escaped;
        } else {
            value += text[at];
        }
    }
    return value;
}

// The value of the first JSON member named key (any letter case) that is a string.
std::string JsonMember(std::string_view answer, const std::string& lower, std::string_view key) {
    const std::string quoted = "\"" + std::string(key) + "\"";
    for (std::size_t found = lower.find(quoted); found != std::string::npos;
         found = lower.find(quoted, found + 1)) {
        std::size_t at = lower.find_first_not_of(" \t\r\n", found + quoted.size());
        if (at == std::string::npos || lower[at] != ':') {
            continue;
        }
        at = lower.find_first_not_of(" \t\r\n", at + 1);
        if (at != std::string::npos && lower[at] == '"') {
            return JsonStringAt(answer, at + 1);
        }
    }
    return {};
}

std::string Unescaped(std::string_view markup) {
    std::string text;
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
    for (std::size_t at = 0; at < markup.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (markup.substr(at).starts_with(entity)) {
                text += character;
                at += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            text += markup[at++];
        }
    }
    return text;
}

// The content of the first element named tag (lower case), its entities undone.
std::string XmlElement(std::string_view answer, const std::string& lower, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::size_t start = lower.find(open);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t from = start + open.size();
    const std::size_t end = lower.find("</" + std::string(tag) + ">", from);
    return end == std::string::npos ? std::string() : Unescaped(answer.substr(from, end - from));
}

// White space and control characters run together as one blank, trimmed, cut to the limit.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ' ') {
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
        } else {
            line += c;
        }
    }
    line = std::string(TrimmedAscii(line, " "));
    return line.size() <= kMaxMessageBytes ? line
                                           : std::string(CutUtf8(line, kMaxMessageBytes)) + "...";
}

}  // namespace

std::string AnswerMessage(std::string_view answer) {
    const std::string lower = AsciiLower(answer);
    for (const std::string_view name : {"msg", "message"}) {
        std::string message = JsonMember(answer, lower, name);
        if (message.empty()) {
            message = XmlElement(answer, lower, name);
        }
        message = OneLine(message);
        if (!message.empty()) {
            return message;
        }
    }
    return {};
}

std::string WithAnswerMessage(std::string reason, std::string_view answerBytes) {
    const std::string message =
        answerBytes.empty() ? std::string()
                            : AnswerMessage(FromMarketplace(answerBytes.data(),
                                                            static_cast<int>(answerBytes.size())));
    // TRANSLATORS: a reason, then the marketplace's own words in quotes.
    return message.empty() ? reason : FillIn(Translate("{} (\"{}\")"), {reason, message});
}

}  // namespace kesto
