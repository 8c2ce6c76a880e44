#pragma once
// Melodies written the way a tracker shows them: one token per row (a sixteenth note at four rows a
// beat), separated by spaces.
//
//   "E5 . . A5 . . G5 . E5 . . . D5 . E5 ."
//
// A note name (C, C#, Db, ... B, then the octave; C4 is middle C) starts a note, "." holds the one
// before, "-" stops it. Parsing fails with a message on an unknown token, so a typo in a melody is
// caught when the module is composed rather than heard as a wrong note.

#include <string>
#include <string_view>
#include <vector>

namespace velor {

struct PhraseNote {
    int row = 0;     // offset from the phrase start
    int midi = -1;   // MIDI note (60 = C4), or -1 for a stop
    int length = 1;  // rows until the next token that is not "."
};

struct ParsedPhrase {
    std::vector<PhraseNote> notes;
    int rows = 0;        // tokens in the phrase
    std::string error;   // empty when the phrase parsed
};

ParsedPhrase ParsePhrase(std::string_view text);

// MIDI number of a note name such as "A4", "C#5" or "Bb3"; -1 if it is not one.
int MidiFromNoteName(std::string_view name);

}  // namespace velor
