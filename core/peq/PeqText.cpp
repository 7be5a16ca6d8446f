#include "core/peq/PeqText.h"

#include <charconv>
#include <cmath>

#include "platform/TextCompare.h"

namespace hm::peq {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The length of the valid UTF-8 sequence of one character at the start of
// `s`, 0 when it is not one (overlong forms, surrogates and stray bytes included).
std::size_t utf8Length(std::string_view s) {
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    const std::size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (n == 0 || s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    if (n == 3 && ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0))) return 0;
    if (n == 4 && ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90))) return 0;
    return n;
}

// A word of the file as a message quotes it: control characters and bytes
// that are no UTF-8 become '?' (the message reaches terminals and the editor's
// notices), and a long word is cut short.
std::string quoted(std::string_view word) {
    constexpr int kMaxCharacters = 32;
    std::string out = "'";
    int characters = 0;
    for (std::size_t i = 0; i < word.size(); ++characters) {
        if (characters == kMaxCharacters) {
            out += "...";
            break;
        }
        const unsigned char c = static_cast<unsigned char>(word[i]);
        const std::size_t n = c < 0x80 ? 1 : utf8Length(word.substr(i));
        if (n == 0 || c < 0x20 || c == 0x7F) {
            out += '?';
            i += 1;
        } else {
            out.append(word.substr(i, n));
            i += n;
        }
    }
    return out + "'";
}

bool startsNumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }
bool numberChar(char c) { return startsNumber(c) || c == ','; }
// Whether w[i] starts an exponent's digits: a digit, or a sign and a digit.
bool exponentAt(std::string_view w, std::size_t i) {
    const auto digit = [&](std::size_t k) { return k < w.size() && w[k] >= '0' && w[k] <= '9'; };
    return digit(i) || (i < w.size() && (w[i] == '+' || w[i] == '-') && digit(i + 1));
}

// Words of a line; a number written together with its unit ("105Hz", "-6dB")
// becomes two words.
std::vector<std::string> words(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        std::size_t j = i;
        while (j < s.size() && !isBlank(s[j])) ++j;
        if (j == i) break;
        std::string_view w = s.substr(i, j - i);
        std::size_t n = 0;
        if (startsNumber(w[0]))
            while (n < w.size()) {
                if (numberChar(w[n])) {
                    ++n;
                } else if ((w[n] == 'e' || w[n] == 'E') && exponentAt(w, n + 1)) {
                    n += 2;  // "1e3", "2.5E-1": the exponent and its sign or first digit
                } else {
                    break;
                }
            }
        if (n > 0 && n < w.size()) {
            out.emplace_back(w.substr(0, n));
            out.emplace_back(w.substr(n));
        } else {
            out.emplace_back(w);
        }
        i = j;
    }
    return out;
}

struct TypeWord {
    const char* word;
    FilterType type;
};
constexpr TypeWord kTypes[] = {
    {"pk", FilterType::Peak},       {"ls", FilterType::LowShelf},   {"lsc", FilterType::LowShelf},
    {"hs", FilterType::HighShelf},  {"hsc", FilterType::HighShelf}, {"lp", FilterType::LowPass},
    {"lpq", FilterType::LowPass},   {"hp", FilterType::HighPass},   {"hpq", FilterType::HighPass},
    {"no", FilterType::Notch},      {"ap", FilterType::AllPass},    {"bp", FilterType::BandPass},
    {"peq", FilterType::Peak},  // as room-correction exports write a peak
};

bool isShelf(FilterType t) { return t == FilterType::LowShelf || t == FilterType::HighShelf; }
bool hasGain(FilterType t) { return t == FilterType::Peak || isShelf(t); }

// Reads the rest of a line word by word; the first problem ends it.
class LineReader {
public:
    explicit LineReader(std::vector<std::string> w) : words_(std::move(w)) {}
    bool atEnd() const { return next_ >= words_.size(); }
    std::string peek() const { return atEnd() ? std::string() : platform::asciiLower(words_[next_]); }
    std::string take() { return atEnd() ? std::string() : words_[next_++]; }

    // A number, then an optional unit among `units` (lower case).
    bool number(const char* what, double& value, std::initializer_list<const char*> units, std::string& error,
                double* unitFactor = nullptr) {
        if (atEnd()) {
            error = std::string(what) + " has no value";
            return false;
        }
        const std::string w = take();
        const std::optional<double> v = parseNumber(w);
        if (!v) {
            if (w.find(',') != std::string::npos && w.find_first_of("0123456789") != std::string::npos)
                error = "decimal comma in " + quoted(w) + ": write numbers with a decimal point (" +
                        withPoint(quoted(w)) + ")";
            else
                error = std::string(what) + " needs a number, not " + quoted(w);
            return false;
        }
        value = *v;
        const std::string unit = peek();
        for (const char* u : units)
            if (unit == u) {
                ++next_;
                if (unitFactor) *unitFactor = unit == "khz" ? 1000.0 : 1.0;
                break;
            }
        return true;
    }

private:
    static std::string withPoint(std::string s) {
        for (char& c : s)
            if (c == ',') c = '.';
        return s.substr(1, s.size() - 2);  // without the quotes
    }
    std::vector<std::string> words_;
    std::size_t next_ = 0;
};

bool readFilter(std::string_view rest, Filter& f, std::string& error) {
    LineReader r(words(rest));
    const std::string state = r.peek();
    if (state != "on" && state != "off") {
        error = state.empty() ? "the filter is empty (expected ON or OFF, a type, Fc ...)"
                              : "expected ON or OFF before the filter type, not " + quoted(r.take());
        return false;
    }
    r.take();
    f.on = state == "on";
    if (r.peek() == "none") {
        // A room-correction export's unused slot: no filter, and nothing wrong.
        r.take();
        if (!r.atEnd()) error = "a filter of type None takes nothing after it";
        return false;
    }
    const std::string typeWord = r.take();
    const TypeWord* type = nullptr;
    for (const TypeWord& t : kTypes)
        if (platform::asciiLower(typeWord) == t.word) type = &t;
    if (!type) {
        error = typeWord.empty() ? "the filter has no type"
                                 : "unknown filter type " + quoted(typeWord) + " (PK, LS, LSC, HS, HSC, LP, LPQ, HP, HPQ, NO, AP, BP)";
        return false;
    }
    f.type = type->type;
    if (!r.atEnd() && startsNumber(r.peek()[0])) {
        if (!isShelf(f.type)) {
            error = std::string(typeName(f.type)) + " takes no slope";
            return false;
        }
        if (!r.number("the slope", f.slopeDb, {"db"}, error)) return false;
        if (!(f.slopeDb > 0.0)) {
            error = "a shelf's slope must be positive";
            return false;
        }
    }
    bool fc = false, gain = false, q = false, bw = false;
    while (!r.atEnd()) {
        const std::string key = r.peek();
        const std::string original = r.take();
        bool* seen = key == "fc" ? &fc : key == "gain" ? &gain : key == "q" ? &q : key == "bw" ? &bw : nullptr;
        if (!seen) {
            error = "unexpected " + quoted(original) + " (a filter takes Fc, Gain, Q or BW Oct)";
            return false;
        }
        if (*seen) {
            error = original + " is given twice";
            return false;
        }
        *seen = true;
        if (key == "fc") {
            double factor = 1.0;
            if (!r.number("Fc", f.frequency, {"hz", "khz"}, error, &factor)) return false;
            f.frequency *= factor;
            if (!(f.frequency > 0.0)) {
                error = "Fc must be a positive frequency";
                return false;
            }
        } else if (key == "gain") {
            if (!r.number("Gain", f.gainDb, {"db"}, error)) return false;
        } else if (key == "q") {
            if (!r.number("Q", f.q, {}, error)) return false;
            if (!(f.q > 0.0)) {
                error = "Q must be positive";
                return false;
            }
        } else {
            if (r.peek() == "oct") r.take();
            if (!r.number("BW", f.bandwidth, {"oct"}, error)) return false;
            if (!(f.bandwidth > 0.0)) {
                error = "the bandwidth must be positive";
                return false;
            }
        }
    }
    if (!q && !bw && f.slopeDb == 0.0) {
        // The format's own defaults where a line gives no width: a notch is
        // narrow, a shelf a little gentler than the steepest slope without
        // overshoot; a peak has no default.
        if (f.type == FilterType::Notch) f.q = kDefaultNotchQ;
        if (isShelf(f.type)) f.slopeDb = kDefaultShelfSlope * 12.0;
        if (f.type == FilterType::Peak && fc) {
            error = "PK needs a width (Q ... or BW Oct ...)";
            return false;
        }
    }
    if (!fc) error = "missing frequency (Fc)";
    else if (hasGain(f.type) && !gain) error = std::string(typeName(f.type)) + " needs a gain (Gain ... dB)";
    else if (!hasGain(f.type) && f.gainDb != 0.0) error = std::string(typeName(f.type)) + " takes no gain";
    else if (q && bw) error = "give either Q or BW, not both";
    else if (f.slopeDb > 0.0 && (q || bw)) error = "a shelf takes either a slope (12dB) or a Q, not both";
    return error.empty();
}

bool readChannel(std::string_view rest, int& groups, std::string& error) {
    const std::vector<std::string> list = words(rest);
    if (list.empty()) {
        error = "Channel: names no channel (L, R, 1..8 or ALL)";
        return false;
    }
    int mask = 0;
    for (const std::string& w : list) {
        const std::string k = platform::asciiLower(w);
        int group = 0;
        if (k == "all") {
            mask = kAllGroups;
            continue;
        }
        if (k == "l") group = 1;
        else if (k == "r") group = 2;
        else if (k.size() == 1 && k[0] >= '1' && k[0] <= '8') group = k[0] - '0';
        if (group == 0) {
            error = "unknown channel " + quoted(w) + " (Harmoniform's groups are L, R, 1..8 or ALL)";
            return false;
        }
        mask |= 1 << (8 - group);
    }
    groups = mask;
    return true;
}

// The lines a room-correction program writes above its filters ("Filter
// Settings file", "Room EQ V5.31", "Dated: ...", "Notes: ...", "Equaliser:
// Generic", "Average 1"): what they say is for people, not for the filters.
bool exportHeader(std::string_view line, const std::string& key) {
    if (key == "dated" || key == "notes" || key == "equaliser" || key == "equalizer") return true;
    if (!key.empty()) return false;
    const std::string lower = platform::asciiLower(line);
    return lower == "filter settings file" || lower.rfind("room eq v", 0) == 0 || lower.rfind("average ", 0) == 0 ||
           lower == "average";
}

std::string unknownChannels(int channelLine) {
    return "skipped with the Channel line " + std::to_string(channelLine) + " above it, which cannot be read";
}

void readLine(std::string_view line, int number, int& groups, Text& out) {
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    line = trim(line);
    if (line.empty()) return;
    std::string error;
    const std::size_t colon = line.find(':');
    const std::string key = colon == std::string_view::npos ? std::string() : platform::asciiLower(trim(line.substr(0, colon)));
    const std::string_view rest = colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
    if (exportHeader(line, key)) return;
    if (key == "preamp") {
        LineReader r(words(rest));
        double db = 0.0;
        if (r.number("Preamp", db, {"db"}, error) && !r.atEnd()) error = "unexpected " + quoted(r.take()) + " after the preamp";
        if (error.empty() && groups < 0) error = unknownChannels(-groups);
        if (error.empty()) {
            out.preampDb += db;
            out.preampLine = number;
            for (int c = 0; c < 8; ++c)
                if ((groups >> (7 - c)) & 1) out.channelPreampDb[c] += db;
        }
    } else if (key == "channel") {
        // The lines below an unreadable selection belong to channels nobody
        // knows: they are dropped with it (as -its line number) until the next.
        if (!readChannel(rest, groups, error)) groups = -number;
    } else if (key.rfind("filter", 0) == 0 && trim(std::string_view(key).substr(6)).find_first_not_of("0123456789") ==
                                                    std::string_view::npos) {
        Filter f;
        f.line = number;
        f.groups = groups;
        if (groups < 0) error = unknownChannels(-groups);
        else if (readFilter(rest, f, error)) out.filters.push_back(f);
    } else if (!key.empty()) {
        const std::string command = quoted(std::string(trim(line.substr(0, colon))) + ":");
        error = command + " is not imported (only Preamp, Channel and Filter lines are)";
    } else {
        error = "not a command (expected 'Preamp:', 'Channel:' or 'Filter N:')";
    }
    if (!error.empty()) out.errors.push_back({number, error});
}

}  // namespace

std::optional<double> parseNumber(std::string_view token) {
    const bool plus = !token.empty() && token.front() == '+';
    if (plus) token.remove_prefix(1);
    if (token.empty() || !startsNumber(token.front()) || token.front() == '+' || (plus && token.front() == '-'))
        return std::nullopt;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string formatNumber(double value, int digits) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0.0 ? "inf" : "-inf";
    if (value == 0.0) return "0";
    // Fixed notation with as many decimals as the significant digits need.
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::max(0, digits - 1 - magnitude);
    char buffer[400];  // the longest: 309 digits before the point, or 5 + 307 after it
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, decimals);
    std::string s(buffer, ec == std::errc() ? end : buffer);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

const char* typeName(FilterType type) {
    switch (type) {
        case FilterType::Peak: return "PK";
        case FilterType::LowShelf: return "LSC";
        case FilterType::HighShelf: return "HSC";
        case FilterType::LowPass: return "LPQ";
        case FilterType::HighPass: return "HPQ";
        case FilterType::Notch: return "NO";
        case FilterType::AllPass: return "AP";
        case FilterType::BandPass: return "BP";
    }
    return "?";
}

bool stopForDiagnostics(std::vector<Diagnostic>& errors, int line) {
    if (errors.size() < kMaxDiagnostics) return false;
    errors.push_back({line, "stopped after " + std::to_string(kMaxDiagnostics) +
                                " lines that cannot be imported: the file is refused whole"});
    return true;
}

Text readText(std::string_view text) {
    Text out;
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        out.errors.push_back({1, "the text is UTF-16; save it as UTF-8"});
        out.refused = true;
        return out;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int groups = kAllGroups;
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const std::size_t end = text.find_first_of("\r\n");  // LF, CRLF or CR alone
        const std::string_view line = text.substr(0, end);
        if (line.find('\0') != std::string_view::npos) {
            out.errors.push_back({number, "the line holds a zero byte: this is no text file"});
            out.refused = true;
            break;
        }
        readLine(line, number, groups, out);
        if (stopForDiagnostics(out.errors, number)) {
            out.refused = true;
            break;
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1));
    }
    return out;
}

}  // namespace hm::peq
