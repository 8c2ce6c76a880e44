#pragma once
// Writes Scream Tracker 3 modules (.s3m) from a song held in memory.
//
// The file is laid out in the order the format's own tools use, because its offsets are
// "parapointers" (byte offset / 16) of limited width:
//
//   0x00  header (0x60 bytes)
//   0x60  order list (an even count), sample header parapointers, pattern parapointers, pan table
//         padding to a 16-byte boundary
//         sample headers, 0x50 bytes each (a multiple of 16, so each starts on a boundary)
//         packed patterns, each padded to a 16-byte boundary
//         sample data, each padded to a 16-byte boundary
//
// Header and pattern parapointers are 16 bits (targets below 1 MiB), sample data pointers 24 bits
// (below 256 MiB), so sample data goes last. NOTE: the header's format word is written as 2, which
// tells players the sample data is UNSIGNED; the song holds signed PCM and the writer flips the sign
// bit on the way out.
//
// Patterns are always 64 rows. A shorter pattern is a 64-row one ended early by a Cxx (pattern
// break) in one of its cells; the writer does not invent that.
//
// Failures are values: a song the format cannot hold (too many channels, a note out of range, a loop
// past the sample's end, an order naming a missing pattern, ...) gives an error message and no bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velor {

inline constexpr int kS3mRows = 64;          // rows in every pattern
inline constexpr int kS3mMaxChannels = 32;   // channel settings in the header
inline constexpr int kS3mMaxSamples = 99;    // what the tracker itself can address
inline constexpr int kS3mMaxPatterns = 100;  // likewise
inline constexpr int kS3mMaxOrders = 254;    // plus the end marker, rounded up to an even count

inline constexpr uint8_t kS3mNoNote = 0xFF;   // cell has no note
inline constexpr uint8_t kS3mNoteCut = 0xFE;  // "^^": stops the channel's sample at once
inline constexpr uint8_t kS3mNoVolume = 0xFF; // cell sets no volume
inline constexpr uint8_t kS3mOrderSkip = 0xFE;  // "+++" order entry, skipped by players
inline constexpr uint8_t kS3mOrderEnd = 0xFF;   // "---" order entry, ends the song

// Note byte: high nibble octave 0..7, low nibble semitone 0..11. Octave 4 C (0x40) is middle C and
// plays a sample at its C2Spd rate.
constexpr uint8_t S3mNote(int octave, int semitone) { return uint8_t((octave << 4) | semitone); }
// MIDI note number (60 = middle C) to the S3M note byte; MIDI 12..107 map to octaves 0..7.
constexpr uint8_t S3mNoteFromMidi(int midi) { return S3mNote(midi / 12 - 1, midi % 12); }

// Effect letters are stored as 1 ('A') to 26 ('Z').
constexpr uint8_t S3mEffect(char letter) { return uint8_t(letter - 'A' + 1); }

struct S3mCell {
    uint8_t note = kS3mNoNote;        // S3mNote(...), kS3mNoteCut or kS3mNoNote
    uint8_t instrument = 0;           // 1-based sample number, 0 = none
    uint8_t volume = kS3mNoVolume;    // 0..64, or kS3mNoVolume
    uint8_t effect = 0;               // S3mEffect('A'..'Z'), 0 = none
    uint8_t param = 0;                // effect parameter

    bool Empty() const { return note == kS3mNoNote && instrument == 0 && volume == kS3mNoVolume && effect == 0; }
    bool operator==(const S3mCell&) const = default;
};

// 64 rows by 32 channels; channels past the song's channel count must stay empty.
struct S3mPattern {
    std::array<S3mCell, kS3mRows * kS3mMaxChannels> cells{};

    S3mCell& At(int row, int channel) { return cells[size_t(row) * kS3mMaxChannels + size_t(channel)]; }
    const S3mCell& At(int row, int channel) const { return cells[size_t(row) * kS3mMaxChannels + size_t(channel)]; }
    bool operator==(const S3mPattern&) const = default;
};

struct S3mSample {
    std::string name;               // up to 27 characters (28 with the terminator)
    std::string fileName;           // up to 12 characters, DOS style
    std::vector<int16_t> pcm;       // signed mono PCM, full 16-bit scale whatever the stored width
    bool sixteenBit = true;         // stored width; 8-bit keeps the top byte of each value, rounded
    bool loop = false;
    uint32_t loopStart = 0;         // sample frames; loopStart < loopEnd <= pcm.size() when looped
    uint32_t loopEnd = 0;
    uint8_t volume = 64;            // default volume 0..64
    uint32_t c2spd = 8363;          // playback rate in Hz of note C-4 (S3mNote(4, 0))
};

struct S3mChannel {
    bool right = false;  // ST3 channel bank: L1..L8 or R1..R8 (numbered in order of appearance)
    int pan = -1;        // 0 (left) .. 15 (right); -1 = the bank's default (3 or 12)
};

struct S3mSong {
    std::string title;                 // up to 27 characters
    std::vector<uint8_t> orders;       // pattern numbers, kS3mOrderSkip or kS3mOrderEnd
    std::vector<S3mPattern> patterns;
    std::vector<S3mSample> samples;
    std::vector<S3mChannel> channels;  // 1..32 channels in use
    uint8_t globalVolume = 64;         // 0..64
    uint8_t initialSpeed = 6;          // ticks per row, 1..254
    uint8_t initialTempo = 125;        // 33..255; a tick lasts 2.5 / tempo seconds
    uint8_t masterVolume = 48;         // 16..127: the mixer's pre-amplification
    bool stereo = true;
};

struct S3mWriteResult {
    std::vector<uint8_t> bytes;  // the whole file; empty on failure
    std::string error;           // empty on success

    bool Ok() const { return error.empty(); }
};

S3mWriteResult WriteS3m(const S3mSong& song);

}  // namespace velor
