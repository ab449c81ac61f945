// The project's version (CMake's PROJECT_VERSION, major.minor.fix) read the
// way the plug-in writes it: major, a dot, then the minor and fix digits
// together, so "1.0.1" is "1.01". The tests hold this rule themselves, apart
// from the build's, so that the two check each other.
#pragma once

#include <string>

struct ProjectVersion {
    bool valid = false;
    unsigned major = 0, minor = 0, fix = 0;
    std::string text;
};

inline ProjectVersion readProjectVersion(const std::string& version) {
    ProjectVersion v;
    unsigned parts[3] = {0, 0, 0};
    size_t digits[3] = {0, 0, 0};
    size_t part = 0;
    for (char c : version) {
        if (c == '.') {
            if (digits[part] == 0 || ++part == 3) return v;
        } else if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + static_cast<unsigned>(c - '0');
            if (++digits[part] > 6) return v;
        } else {
            return v;
        }
    }
    if (part != 2 || digits[0] == 0 || digits[1] != 1 || digits[2] != 1) return v;
    v.valid = true;
    v.major = parts[0];
    v.minor = parts[1];
    v.fix = parts[2];
    v.text = std::to_string(v.major) + "." + std::to_string(v.minor) + std::to_string(v.fix);
    return v;
}
