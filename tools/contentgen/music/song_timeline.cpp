#include "tools/contentgen/music/song_timeline.h"

#include <algorithm>
#include <cassert>

namespace velor {

SongTimeline::SongTimeline(int channels, int speed) : channels_(channels), speed_(speed) {}

int SongTimeline::AddSection(const std::string& name, int rows, int tempo) {
    TimelineSection s;
    s.name = name;
    s.startRow = Rows();
    s.rows = rows;
    s.tempo = tempo;
    s.startSeconds = sections_.empty() ? 0.0 : sections_.back().endSeconds;
    s.firstOrder = sections_.empty() ? 0 : sections_.back().firstOrder + (sections_.back().rows + kS3mRows - 1) / kS3mRows;
    // A tick lasts 2.5 / tempo seconds.
    s.endSeconds = s.startSeconds + double(rows) * double(speed_) * 2.5 / double(tempo);
    sections_.push_back(s);
    rows_.resize(rows_.size() + size_t(rows), std::vector<S3mCell>(size_t(channels_) + 1));
    return s.startRow;
}

S3mCell& SongTimeline::At(int row, int channel) {
    assert(row >= 0 && row < Rows() && channel >= 0 && channel <= channels_);
    return rows_[size_t(row)][size_t(channel)];
}

const S3mCell& SongTimeline::At(int row, int channel) const {
    assert(row >= 0 && row < Rows() && channel >= 0 && channel <= channels_);
    return rows_[size_t(row)][size_t(channel)];
}

std::string SongTimeline::BuildSong(S3mSong* song) const {
    song->orders.clear();
    song->patterns.clear();
    if (loopSection_ >= int(sections_.size())) return "the song loops to a section it does not have";
    for (size_t si = 0; si < sections_.size(); ++si) {
        const TimelineSection& section = sections_[si];
        for (int first = 0; first < section.rows; first += kS3mRows) {
            const int length = std::min(kS3mRows, section.rows - first);
            S3mPattern pattern;
            for (int r = 0; r < length; ++r) {
                for (int ch = 0; ch <= channels_; ++ch) pattern.At(r, ch) = At(section.startRow + first + r, ch);
            }
            S3mCell& control = pattern.At(0, channels_);
            if (first == 0) {
                if (control.effect != 0) return "section " + section.name + ": control cell of its first row is taken";
                control.effect = S3mEffect('T');
                control.param = uint8_t(section.tempo);
            }
            const bool songEnd = si + 1 == sections_.size() && first + kS3mRows >= section.rows;
            if (songEnd && loopSection_ >= 0) {
                // The jump also ends a short pattern, so it replaces the break there.
                S3mCell& end = pattern.At(length - 1, channels_);
                if (end.effect != 0) return "section " + section.name + ": pattern too short for a tempo and a jump";
                end.effect = S3mEffect('B');
                end.param = uint8_t(sections_[size_t(loopSection_)].firstOrder);
            } else if (length < kS3mRows) {
                S3mCell& end = pattern.At(length - 1, channels_);
                if (end.effect != 0) return "section " + section.name + ": pattern too short for a tempo and a break";
                end.effect = S3mEffect('C');
                end.param = 0;
            }
            size_t index = 0;
            while (index < song->patterns.size() && !(song->patterns[index] == pattern)) ++index;
            if (index == song->patterns.size()) {
                if (song->patterns.size() == size_t(kS3mMaxPatterns)) return "more than 100 distinct patterns";
                song->patterns.push_back(pattern);
            }
            song->orders.push_back(uint8_t(index));
        }
        if (int(song->orders.size()) != section.firstOrder + (section.rows + kS3mRows - 1) / kS3mRows)
            return "section " + section.name + ": orders out of step";
    }
    if (song->orders.size() > size_t(kS3mMaxOrders)) return "more than 254 orders";
    return {};
}

}  // namespace velor
