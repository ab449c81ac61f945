#include "html/css_values.h"

#include <cmath>
#include <cstdlib>

#include "html/char_class.h"
#include "html/css_colour_spaces.h"

namespace html {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::uint32_t clampByte(double v) {
    if (!(v > 0)) return 0;
    if (v > 255) return 255;
    return static_cast<std::uint32_t>(std::lround(v));
}

// A number, with its unit after it in `unit`; false when there is none.
bool number(const std::string& s, double& value, std::string& unit) {
    if (s.empty()) return false;
    const char* start = s.c_str();
    char* after = nullptr;
    value = std::strtod(start, &after);
    if (after == start) return false;
    // strtod takes "inf", "nan" and hex floats, which CSS does not.
    for (const char* c = start; c < after; ++c)
        if (!((*c >= '0' && *c <= '9') || *c == '.' || *c == '-' || *c == '+' || *c == 'e' || *c == 'E')) return false;
    if (!std::isfinite(value)) return false;
    unit = lowerAscii(std::string(after));
    return true;
}

// The arguments of "name(...)", split at commas, spaces and "/".
bool functionArguments(const std::string& v, const char* name, std::vector<std::string>& args) {
    const std::string prefix = std::string(name) + "(";
    if (v.compare(0, prefix.size(), prefix) != 0 || v.back() != ')') return false;
    const std::string inner = v.substr(prefix.size(), v.size() - prefix.size() - 1);
    std::string cur;
    for (char c : inner) {
        if (c == ',' || c == '/' || isSpace(c)) {
            if (!cur.empty()) args.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) args.push_back(cur);
    return true;
}

// A component of rgb(): a number 0-255 or a percentage.
bool rgbComponent(const std::string& s, std::uint32_t& out) {
    double v;
    std::string unit;
    if (s == "none") {
        out = 0;
        return true;
    }
    if (!number(s, v, unit)) return false;
    if (unit == "%")
        out = clampByte(v * 2.55);
    else if (unit.empty())
        out = clampByte(v);
    else
        return false;
    return true;
}

bool percentage(const std::string& s, double& fraction) {
    std::string unit;
    if (s == "none") {
        fraction = 0;
        return true;
    }
    if (!number(s, fraction, unit) || (unit != "%" && !unit.empty())) return false;
    fraction /= 100;
    if (fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    return true;
}

std::uint32_t rgbOf(double r, double g, double b) {
    return clampByte(r * 255) << 16 | clampByte(g * 255) << 8 | clampByte(b * 255);
}

std::uint32_t hslToRgb(double h, double s, double l) {
    auto f = [&](double n) {
        const double k = std::fmod(n + h / 30, 12);
        const double a = s * std::fmin(l, 1 - l);
        return l - a * std::fmax(-1, std::fmin(std::fmin(k - 3, 9 - k), 1));
    };
    return rgbOf(f(0), f(8), f(4));
}

std::uint32_t hwbToRgb(double h, double w, double b) {
    if (w + b >= 1) {
        const double gray = w / (w + b);
        return rgbOf(gray, gray, gray);
    }
    const std::uint32_t pure = hslToRgb(h, 1, 0.5);
    auto channel = [&](int shift) {
        const double c = ((pure >> shift) & 0xFF) / 255.0;
        return c * (1 - w - b) + w;
    };
    return rgbOf(channel(16), channel(8), channel(0));
}

}  // namespace

bool parseHue(const std::string& s, double& degrees) {
    std::string unit;
    if (s == "none") {
        degrees = 0;
        return true;
    }
    if (!number(s, degrees, unit)) return false;
    if (unit == "rad")
        degrees = degrees * 180 / 3.14159265358979323846;
    else if (unit == "grad")
        degrees = degrees * 0.9;
    else if (unit == "turn")
        degrees = degrees * 360;
    else if (!unit.empty() && unit != "deg")
        return false;
    degrees = std::fmod(degrees, 360);
    if (degrees < 0) degrees += 360;
    return true;
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b])) ++b;
    while (e > b && isSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> splitValue(const std::string& value) {
    std::vector<std::string> parts;
    std::string cur;
    int depth = 0;
    char quote = 0;
    for (char c : value) {
        if (quote != 0) {
            cur.push_back(c);
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            cur.push_back(c);
        } else if (c == '(') {
            ++depth;
            cur.push_back(c);
        } else if (c == ')') {
            if (depth > 0) --depth;
            cur.push_back(c);
        } else if (depth == 0 && (isSpace(c) || c == ',')) {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
            if (c == ',') parts.push_back(",");
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

Colour parseColour(const std::string& value) {
    Colour result;
    const std::string v = lowerAscii(trimmed(value));
    if (v.empty()) return result;
    if (v == "currentcolor") {
        result.kind = Colour::kCurrentColour;
        return result;
    }
    if (v[0] == '#') {
        const std::size_t n = v.size() - 1;
        if (n != 3 && n != 4 && n != 6 && n != 8) return result;
        int d[8];
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = hexDigit(v[i + 1]);
            if (d[i] < 0) return result;
        }
        std::uint32_t r, g, b;
        if (n <= 4) {
            r = static_cast<std::uint32_t>(d[0] * 17);
            g = static_cast<std::uint32_t>(d[1] * 17);
            b = static_cast<std::uint32_t>(d[2] * 17);
        } else {
            r = static_cast<std::uint32_t>(d[0] * 16 + d[1]);
            g = static_cast<std::uint32_t>(d[2] * 16 + d[3]);
            b = static_cast<std::uint32_t>(d[4] * 16 + d[5]);
        }
        result.kind = Colour::kRgb;
        result.rgb = r << 16 | g << 8 | b;
        return result;
    }
    std::vector<std::string> args;
    if (functionArguments(v, "rgb", args) || functionArguments(v, "rgba", args)) {
        std::uint32_t r, g, b;
        if ((args.size() != 3 && args.size() != 4) || !rgbComponent(args[0], r) || !rgbComponent(args[1], g) ||
            !rgbComponent(args[2], b))
            return result;
        result.kind = Colour::kRgb;
        result.rgb = r << 16 | g << 8 | b;
        return result;
    }
    if (functionArguments(v, "hsl", args) || functionArguments(v, "hsla", args)) {
        double h, s, l;
        if ((args.size() != 3 && args.size() != 4) || !parseHue(args[0], h) || !percentage(args[1], s) ||
            !percentage(args[2], l))
            return result;
        result.kind = Colour::kRgb;
        result.rgb = hslToRgb(h, s, l);
        return result;
    }
    if (functionArguments(v, "hwb", args)) {
        double h, w, b;
        if ((args.size() != 3 && args.size() != 4) || !parseHue(args[0], h) || !percentage(args[1], w) ||
            !percentage(args[2], b))
            return result;
        result.kind = Colour::kRgb;
        result.rgb = hwbToRgb(h, w, b);
        return result;
    }
    const std::size_t open = v.find('(');
    if (open != std::string::npos && open > 0) {
        const std::string function = v.substr(0, open);
        if (functionArguments(v, function.c_str(), args) && colourInOtherSpace(function, args, result.rgb))
            result.kind = Colour::kRgb;
        return result;
    }
    if (namedColour(v, result.rgb)) result.kind = Colour::kRgb;
    return result;
}

bool parseLegacyColour(const std::string& value, std::uint32_t& rgb) {
    // The HTML rules for a colour attribute: a name, "#rgb", or else any
    // string made into three hex components. "#rrggbb", what nearly every
    // page writes, comes out of those as it reads.
    if (value.size() == 7 && value[0] == '#') {
        std::uint32_t whole = 0;
        std::size_t k = 1;
        for (; k < 7 && hexDigit(value[k]) >= 0; ++k)
            whole = whole << 4 | static_cast<std::uint32_t>(hexDigit(value[k]));
        if (k == 7) {
            rgb = whole;
            return true;
        }
    }
    std::string v = trimmed(value);
    if (v.empty() || lowerAscii(v) == "transparent") return false;
    if (namedColour(lowerAscii(v), rgb)) return true;
    if (v.size() == 4 && v[0] == '#' && hexDigit(v[1]) >= 0 && hexDigit(v[2]) >= 0 && hexDigit(v[3]) >= 0) {
        rgb = static_cast<std::uint32_t>(hexDigit(v[1]) * 17) << 16 |
              static_cast<std::uint32_t>(hexDigit(v[2]) * 17) << 8 | static_cast<std::uint32_t>(hexDigit(v[3]) * 17);
        return true;
    }
    if (v.size() > 128) v.resize(128);
    if (v[0] == '#') v.erase(0, 1);
    for (char& c : v)
        if (hexDigit(c) < 0) c = '0';
    while (v.empty() || v.size() % 3 != 0) v.push_back('0');
    std::size_t len = v.size() / 3;
    std::string comp[3] = {v.substr(0, len), v.substr(len, len), v.substr(2 * len, len)};
    if (len > 8) {
        for (std::string& c : comp) c = c.substr(len - 8);
        len = 8;
    }
    while (len > 2 && comp[0][0] == '0' && comp[1][0] == '0' && comp[2][0] == '0') {
        for (std::string& c : comp) c.erase(0, 1);
        --len;
    }
    if (len > 2)
        for (std::string& c : comp) c.resize(2);
    rgb = 0;
    for (int i = 0; i < 3; ++i) {
        int byte = 0;
        for (char c : comp[i]) byte = byte * 16 + hexDigit(c);
        rgb = rgb << 8 | static_cast<std::uint32_t>(byte);
    }
    return true;
}

double lengthPixels(const std::string& value) {
    double v;
    std::string unit;
    if (!number(value, v, unit) || v < 0) return -1;
    if (unit == "px") return v;
    if (unit == "pt") return v * 4 / 3;
    if (unit == "pc") return v * 16;
    if (unit == "in") return v * 96;
    if (unit == "cm") return v * 96 / 2.54;
    if (unit == "mm") return v * 96 / 25.4;
    if (unit == "q") return v * 96 / 101.6;
    if (unit.empty() && v == 0) return 0;
    return -1;
}

FontSize parseFontSize(const std::string& value) {
    static const char* const kKeywords[] = {"xx-small", "x-small", "small",    "medium",
                                            "large",    "x-large", "xx-large", "xxx-large"};
    FontSize size;
    const std::string v = lowerAscii(trimmed(value));
    for (int i = 0; i < 8; ++i) {
        if (v == kKeywords[i]) {
            size.kind = FontSize::kKeyword;
            size.keyword = i;
            return size;
        }
    }
    if (v == "smaller") {
        size.kind = FontSize::kSmaller;
        return size;
    }
    if (v == "larger") {
        size.kind = FontSize::kLarger;
        return size;
    }
    double n;
    std::string unit;
    if (!number(v, n, unit) || n < 0) return size;
    if (unit == "%") {
        size.kind = FontSize::kFactor;
        size.value = n / 100;
    } else if (unit == "em") {
        size.kind = FontSize::kFactor;
        size.value = n;
    } else if (unit == "ex" || unit == "ch") {
        size.kind = FontSize::kFactor;
        size.value = n / 2;
    } else if (unit == "rem") {
        size.kind = FontSize::kRootFactor;
        size.value = n;
    } else {
        const double px = lengthPixels(v);
        if (px < 0) return size;
        size.kind = FontSize::kPixels;
        size.value = px;
    }
    return size;
}

double keywordPixels(int keyword, bool monospace) {
    static const double kProportional[8] = {9, 10, 13, 16, 18, 24, 32, 48};
    static const double kMonospace[8] = {9, 9, 10, 13, 15, 20, 26, 39};
    if (keyword < 0) keyword = 0;
    if (keyword > 7) keyword = 7;
    return monospace ? kMonospace[keyword] : kProportional[keyword];
}

}  // namespace html
