#pragma once
// The song as one long run of rows, written section by section, then cut into S3M patterns.
//
// Composing on a single timeline lets a phrase, an echo or a fade run across pattern edges without
// the composer knowing where those edges fall. `BuildSong` does the cutting: each section starts a
// new pattern, a section is split into 64-row patterns, and a shorter last pattern is ended by a
// pattern break (C00). Each section opens with a tempo command (Txx), so a jump into any section
// finds the tempo set; both commands go on a control channel that plays no notes. Identical
// patterns are stored once and named repeatedly in the order list. A song may end in a position
// jump (Bxx) back to one of its sections instead of running off the end of the order list.

#include <string>
#include <vector>

#include "tools/contentgen/music/s3m_writer.h"

namespace velor {

struct TimelineSection {
    std::string name;
    int startRow = 0;
    int rows = 0;
    int tempo = 125;         // Txx; beats per minute when a beat is 4 rows at speed 6
    int firstOrder = 0;      // its first pattern's place in the order list
    double startSeconds = 0.0;
    double endSeconds = 0.0;
};

class SongTimeline {
public:
    // `channels` playing channels plus one control channel after them.
    SongTimeline(int channels, int speed);

    // Appends a section; returns its first row.
    int AddSection(const std::string& name, int rows, int tempo);

    // The cell at an absolute row; rows past the last section are out of range (debug-checked).
    S3mCell& At(int row, int channel);
    const S3mCell& At(int row, int channel) const;

    // After its last row the song jumps back to the start of section `index` (Bxx) and plays on from
    // there for as long as the player loops it; without this it ends and starts again from the top.
    void LoopTo(int index) { loopSection_ = index; }
    int LoopSection() const { return loopSection_; }

    int Rows() const { return int(rows_.size()); }
    int ControlChannel() const { return channels_; }
    const std::vector<TimelineSection>& Sections() const { return sections_; }

    // Fills the song's orders and patterns (and nothing else). Empty on success, else why not.
    std::string BuildSong(S3mSong* song) const;

private:
    int channels_;
    int speed_;
    std::vector<std::vector<S3mCell>> rows_;  // [row][channel], control channel last
    std::vector<TimelineSection> sections_;
    int loopSection_ = -1;
};

}  // namespace velor
