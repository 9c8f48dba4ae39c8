// A reader of Valve's KeyValues text: a tokenizer, and a parser of the tokens into keys.
#include "core/settings/VdfReader.h"

#include "core/platform/AsciiCase.h"

#include <cstddef>
#include <utility>

namespace rotaline {

namespace {

// Steam's files nest four deep. Nodes are freed recursively, so a damaged file must not nest
// without end.
constexpr std::size_t kMaxDepth = 64;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

enum class TokenKind { Text, Open, Close, Condition, End, Error };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // the text of a key or value, or what went wrong
    int line = 1;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {
        // Files saved by Windows editors may start with a UTF-8 byte order mark.
        if (text_.starts_with("\xEF\xBB\xBF")) {
            pos_ = 3;
        }
    }

    Token Next() {
        SkipSpaceAndComments();
        Token token;
        token.line = line_;
        if (pos_ >= text_.size()) {
            return token;
        }
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            token.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
        } else if (c == '"') {
            ReadQuoted(token);
        } else if (c == '[') {
            ReadCondition(token);
        } else {
            token.kind = TokenKind::Text;
            while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '"' &&
                   text_[pos_] != '{' && text_[pos_] != '}') {
                token.text += text_[pos_++];
            }
        }
        return token;
    }

private:
    void SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\n') {
                ++line_;
                ++pos_;
            } else if (IsSpace(text_[pos_])) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                const std::size_t end = text_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? text_.size() : end;
            } else {
                return;
            }
        }
    }

    // Only the escapes that Steam itself writes are decoded; any other backslash is kept, so a
    // hand-written Windows path such as "D:\Games" survives as it was meant.
    void ReadQuoted(Token& token) {
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c == '\n') {
                ++line_;
            } else if (c == '\\' && pos_ < text_.size()) {
                switch (text_[pos_]) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case '\\':
                case '"':
                    c = text_[pos_];
                    break;
                default:
                    token.text += c;
                    continue;
                }
                ++pos_;
            }
            token.text += c;
        }
        if (pos_ >= text_.size()) {
            token.kind = TokenKind::Error;
            token.text = "the quoted text that starts here is not closed";
            return;
        }
        ++pos_;
        token.kind = TokenKind::Text;
    }

    void ReadCondition(Token& token) {
        const std::size_t end = text_.find_first_of("]\n", pos_);
        if (end == std::string_view::npos || text_[end] != ']') {
            token.kind = TokenKind::Error;
            token.text = "a condition in [ ] is not closed";
            return;
        }
        token.kind = TokenKind::Condition;
        token.text = std::string(text_.substr(pos_, end + 1 - pos_));
        pos_ = end + 1;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

struct OpenBlock {
    VdfNode node;
    int line;
};

VdfDocument Failed(int line, const std::string& what) {
    VdfDocument document;
    document.error = "line " + std::to_string(line) + ": " + what;
    return document;
}

} // namespace

const VdfNode* VdfNode::Find(std::string_view name) const {
    for (const VdfNode& child : children) {
        if (EqualIgnoringAsciiCase(child.key, name)) {
            return &child;
        }
    }
    return nullptr;
}

VdfDocument ReadVdf(std::string_view text) {
    VdfDocument document;
    std::vector<OpenBlock> open;
    auto innermost = [&]() -> std::vector<VdfNode>& {
        return open.empty() ? document.root.children : open.back().node.children;
    };

    Tokenizer tokenizer(text);
    std::optional<Token> key;
    for (;;) {
        Token token = tokenizer.Next();
        switch (token.kind) {
        case TokenKind::Error:
            return Failed(token.line, token.text);
        case TokenKind::Condition:
            break;
        case TokenKind::Text:
            if (!key) {
                key = std::move(token);
            } else {
                VdfNode leaf;
                leaf.key = std::move(key->text);
                leaf.value = std::move(token.text);
                innermost().push_back(std::move(leaf));
                key.reset();
            }
            break;
        case TokenKind::Open:
            if (!key) {
                return Failed(token.line, "a block without a key");
            }
            if (open.size() == kMaxDepth) {
                return Failed(token.line,
                              "blocks nested more than " + std::to_string(kMaxDepth) + " deep");
            }
            open.push_back({VdfNode{std::move(key->text), {}, {}, true}, key->line});
            key.reset();
            break;
        case TokenKind::Close:
            if (key) {
                return Failed(key->line, "the key \"" + key->text + "\" has no value");
            }
            if (open.empty()) {
                return Failed(token.line, "a closing brace without a block to close");
            }
            {
                VdfNode closed = std::move(open.back().node);
                open.pop_back();
                innermost().push_back(std::move(closed));
            }
            break;
        case TokenKind::End:
            if (key) {
                return Failed(key->line, "the key \"" + key->text + "\" has no value");
            }
            if (!open.empty()) {
                return Failed(open.back().line,
                              "the block \"" + open.back().node.key + "\" is not closed");
            }
            return document;
        }
    }
}

} // namespace rotaline
