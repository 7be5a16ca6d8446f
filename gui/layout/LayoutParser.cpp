#include "gui/layout/LayoutParser.h"

#include <vector>

namespace hm::gui {

namespace {

// Deeper nesting than any layout needs is refused, so that building and
// freeing a tree never recurses without bound.
constexpr std::size_t kMaxDepth = 200;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one character reference at the start of `ref` (which begins with
// '&'); returns the bytes consumed, 0 when it is not a reference we know (the
// '&' is then kept as written).
std::size_t decodeReference(std::string_view ref, std::string& out) {
    static constexpr struct { std::string_view name; char c; } kNamed[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''},
    };
    for (const auto& n : kNamed)
        if (ref.substr(0, n.name.size()) == n.name) {
            out += n.c;
            return n.name.size();
        }
    if (ref.size() < 4 || ref[1] != '#') return 0;
    const bool hex = ref[2] == 'x' || ref[2] == 'X';
    std::size_t i = hex ? 3 : 2;
    unsigned cp = 0;
    std::size_t digits = 0;
    for (; i < ref.size() && digits < 8; ++i, ++digits) {
        const char c = ref[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        cp = cp * (hex ? 16u : 10u) + static_cast<unsigned>(d);
    }
    if (digits == 0 || i >= ref.size() || ref[i] != ';') return 0;
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    appendUtf8(out, cp);
    return i + 1;
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

    LayoutParseResult run() {
        while (error_.empty()) {
            skipText();
            if (atEnd()) break;
            if (skipMarkupDeclaration()) continue;
            if (peek(1) == '/') {
                if (!closeElement()) break;
                continue;
            }
            if (result_.root && stack_.empty()) {
                fail("element outside the root");
                break;
            }
            openElement();
        }
        if (error_.empty() && !stack_.empty()) fail("unclosed tag <" + stack_.back()->name + ">");
        if (error_.empty() && !result_.root) fail("no root element");
        result_.error = std::move(error_);
        result_.errorOffset = errorAt_;
        return std::move(result_);
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    bool startsWith(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }
    void fail(std::string message) {
        if (!error_.empty()) return;
        error_ = std::move(message);
        errorAt_ = pos_;
    }
    void skipSpace() {
        while (!atEnd() && isSpace(text_[pos_])) ++pos_;
    }
    // Text between tags is ignored.
    void skipText() {
        while (!atEnd() && text_[pos_] != '<') ++pos_;
    }
    // Moves past `terminator`; an error when it never comes.
    bool skipPast(std::string_view terminator, const char* what) {
        std::size_t end = text_.find(terminator, pos_);
        if (end == std::string_view::npos) {
            fail(std::string("unterminated ") + what);
            return false;
        }
        pos_ = end + terminator.size();
        return true;
    }

    // Processing instructions, comments, CDATA and document type declarations.
    bool skipMarkupDeclaration() {
        if (startsWith("<?")) return skipPast("?>", "processing instruction"), true;
        if (startsWith("<!--")) return skipPast("-->", "comment"), true;
        if (startsWith("<![CDATA[")) return skipPast("]]>", "CDATA section"), true;
        if (startsWith("<!")) {
            // A declaration may hold an internal subset in brackets.
            int brackets = 0;
            for (pos_ += 2; !atEnd(); ++pos_) {
                const char c = text_[pos_];
                if (c == '[') ++brackets;
                else if (c == ']') --brackets;
                else if (c == '>' && brackets <= 0) {
                    ++pos_;
                    return true;
                }
            }
            fail("unterminated declaration");
            return true;
        }
        return false;
    }

    void openElement() {
        const std::size_t tagStart = pos_;
        ++pos_;  // '<'
        if (!isNameStart(peek())) {
            fail("bad element name");
            return;
        }
        auto element = std::make_unique<LayoutElement>();
        while (!atEnd() && !isSpace(peek()) && peek() != '/' && peek() != '>') element->name += text_[pos_++];

        bool selfClosing = false;
        for (;;) {
            skipSpace();
            if (atEnd()) {
                pos_ = tagStart;
                fail("missing >");
                return;
            }
            const char c = peek();
            if (c == '>') {
                ++pos_;
                break;
            }
            if (c == '/') {
                if (peek(1) != '>') {
                    fail("missing >");
                    return;
                }
                pos_ += 2;
                selfClosing = true;
                break;
            }
            if (!readAttribute(*element)) return;
        }

        if (stack_.size() >= kMaxDepth) {
            pos_ = tagStart;
            fail("elements nested too deeply");
            return;
        }
        LayoutElement* added = element.get();
        if (stack_.empty()) {
            result_.root = std::move(element);
        } else {
            *tails_.back() = std::move(element);
            tails_.back() = &added->next;
        }
        if (!selfClosing) {
            stack_.push_back(added);
            tails_.push_back(&added->firstChild);
        }
    }

    // One attribute: a name, then white space and '=' skipped, then a quoted
    // value; without a quote the attribute's value stays empty and the text
    // that follows is read as the next attribute's name.
    bool readAttribute(LayoutElement& element) {
        std::string name;
        while (!atEnd() && !isSpace(peek()) && peek() != '=' && peek() != '/' && peek() != '>')
            name += text_[pos_++];
        while (!atEnd() && (isSpace(peek()) || peek() == '=')) ++pos_;
        std::string value;
        const char quote = peek();
        if (quote == '"' || quote == '\'') {
            const std::size_t start = ++pos_;
            const std::size_t end = text_.find(quote, start);
            if (end == std::string_view::npos) {
                pos_ = start - 1;
                fail("missing closing quote");
                return false;
            }
            for (std::size_t i = start; i < end;) {
                if (text_[i] == '&') {
                    if (std::size_t used = decodeReference(text_.substr(i, end - i), value)) {
                        i += used;
                        continue;
                    }
                }
                value += text_[i++];
            }
            pos_ = end + 1;
        }
        element.attributes.emplace_back(std::move(name), std::move(value));
        return true;
    }

    bool closeElement() {
        pos_ += 2;  // "</"
        std::string name;
        while (!atEnd() && !isSpace(peek()) && peek() != '>') name += text_[pos_++];
        skipSpace();
        if (peek() != '>') {
            fail("missing >");
            return false;
        }
        ++pos_;
        if (stack_.empty() || stack_.back()->name != name) {
            fail("end tag </" + name + "> does not match");
            return false;
        }
        stack_.pop_back();
        tails_.pop_back();
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    LayoutParseResult result_;
    std::vector<LayoutElement*> stack_;                  // open elements
    std::vector<std::unique_ptr<LayoutElement>*> tails_; // where each open element's next child goes
    std::string error_;
    std::size_t errorAt_ = 0;
};

}  // namespace

LayoutParseResult parseLayoutText(std::string_view text) { return Tokenizer(text).run(); }

std::unique_ptr<LayoutElement> parseLayout(std::string_view text) { return parseLayoutText(text).root; }

}  // namespace hm::gui
