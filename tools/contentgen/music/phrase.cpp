#include "tools/contentgen/music/phrase.h"

namespace velor {

int MidiFromNoteName(std::string_view name) {
    static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int semitone = kSemitone[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') ++semitone, ++i;
    else if (name[i] == 'b') --semitone, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '9') return -1;
    int midi = (name[i] - '0' + 1) * 12 + semitone;
    return midi >= 0 && midi <= 127 ? midi : -1;
}

ParsedPhrase ParsePhrase(std::string_view text) {
    ParsedPhrase out;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos == text.size()) break;
        size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view token = text.substr(pos, end - pos);
        pos = end;

        if (token == ".") {
            if (!out.notes.empty()) ++out.notes.back().length;
        } else if (token == "-") {
            out.notes.push_back({out.rows, -1, 1});
        } else {
            int midi = MidiFromNoteName(token);
            if (midi < 0) {
                out.error = "row " + std::to_string(out.rows) + ": '" + std::string(token) + "' is not a note, '.' or '-'";
                out.notes.clear();
                return out;
            }
            out.notes.push_back({out.rows, midi, 1});
        }
        ++out.rows;
    }
    return out;
}

}  // namespace velor
