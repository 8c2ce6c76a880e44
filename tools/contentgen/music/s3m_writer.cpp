#include "tools/contentgen/music/s3m_writer.h"

#include <algorithm>
#include <cstring>

namespace velor {
namespace {

constexpr size_t kHeaderBytes = 0x60;
constexpr size_t kSampleHeaderBytes = 0x50;
constexpr size_t kPanTableBytes = 32;
constexpr uint16_t kTrackerVersion = 0x1320;  // ST3.20: players then apply ST3's own playback rules
constexpr uint16_t kUnsignedSamples = 2;      // "format information" word
constexpr uint8_t kUltraClickChannels = 16;   // non-zero, as ST3 itself writes
constexpr uint8_t kUsePanTable = 252;
constexpr uint8_t kPanValid = 0x20;
constexpr uint8_t kChannelUnused = 0xFF;
constexpr uint8_t kSampleTypePcm = 1;
constexpr uint8_t kSampleLoopFlag = 1;
constexpr uint8_t kSample16BitFlag = 4;
constexpr size_t kMaxParapointerTarget = size_t(0xFFFF) * 16;     // 16-bit parapointers
constexpr size_t kMaxSampleDataOffset = size_t(0xFFFFFF) * 16;    // 24-bit sample data pointers

// Pattern packing: one byte per non-empty cell says which fields follow, a zero byte ends the row.
constexpr uint8_t kPackNoteInstrument = 0x20;
constexpr uint8_t kPackVolume = 0x40;
constexpr uint8_t kPackEffect = 0x80;

class ByteSink {
public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) { U8(uint8_t(v & 0xFF)), U8(uint8_t(v >> 8)); }
    void U32(uint32_t v) { U16(uint16_t(v & 0xFFFF)), U16(uint16_t(v >> 16)); }
    void Text(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; ++i) U8(i < s.size() ? uint8_t(s[i]) : 0);
    }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    void PadTo16() { Zeros((16 - bytes.size() % 16) % 16); }
    void PatchU16(size_t at, uint16_t v) { bytes[at] = uint8_t(v & 0xFF), bytes[at + 1] = uint8_t(v >> 8); }
    size_t Size() const { return bytes.size(); }

    std::vector<uint8_t> bytes;
};

std::string ValidateCell(const S3mCell& c, size_t sampleCount) {
    if (c.note != kS3mNoNote && c.note != kS3mNoteCut && ((c.note & 0x0F) > 11 || (c.note >> 4) > 7))
        return "note byte " + std::to_string(c.note) + " is not an octave 0..7 and semitone 0..11";
    if (c.instrument > sampleCount)
        return "instrument " + std::to_string(c.instrument) + " but the song has " + std::to_string(sampleCount) +
               " samples";
    if (c.volume != kS3mNoVolume && c.volume > 64) return "volume " + std::to_string(c.volume) + " above 64";
    if (c.effect > 26) return "effect " + std::to_string(c.effect) + " is not a letter A..Z";
    return {};
}

std::string ValidateSong(const S3mSong& song) {
    if (song.title.size() > 27) return "title longer than 27 characters";
    if (song.channels.empty() || song.channels.size() > size_t(kS3mMaxChannels))
        return "channel count " + std::to_string(song.channels.size()) + " is not 1..32";
    int banks[2] = {0, 0};
    for (const S3mChannel& ch : song.channels) {
        if (++banks[ch.right ? 1 : 0] > 8) return "more than 8 channels on one side";
        if (ch.pan < -1 || ch.pan > 15) return "channel pan " + std::to_string(ch.pan) + " is not -1..15";
    }
    if (song.samples.size() > size_t(kS3mMaxSamples)) return "more than 99 samples";
    if (song.patterns.empty() || song.patterns.size() > size_t(kS3mMaxPatterns))
        return "pattern count " + std::to_string(song.patterns.size()) + " is not 1..100";
    if (song.orders.empty() || song.orders.size() > size_t(kS3mMaxOrders))
        return "order count " + std::to_string(song.orders.size()) + " is not 1..254";
    for (size_t i = 0; i < song.orders.size(); ++i) {
        uint8_t o = song.orders[i];
        if (o != kS3mOrderSkip && o != kS3mOrderEnd && o >= song.patterns.size())
            return "order " + std::to_string(i) + " names pattern " + std::to_string(o) + " of " +
                   std::to_string(song.patterns.size());
    }
    if (song.globalVolume > 64) return "global volume above 64";
    if (song.initialSpeed < 1 || song.initialSpeed > 254) return "initial speed is not 1..254";
    if (song.initialTempo < 33) return "initial tempo below 33";
    if (song.masterVolume < 16 || song.masterVolume > 127) return "master volume is not 16..127";

    for (size_t s = 0; s < song.samples.size(); ++s) {
        const S3mSample& smp = song.samples[s];
        std::string where = "sample " + std::to_string(s + 1) + " (" + smp.name + "): ";
        if (smp.name.size() > 27) return where + "name longer than 27 characters";
        if (smp.fileName.size() > 12) return where + "file name longer than 12 characters";
        if (smp.volume > 64) return where + "volume above 64";
        if (smp.c2spd == 0) return where + "C2Spd is 0";
        if (smp.pcm.size() > 0xFFFFFFFu) return where + "too long";
        if (smp.loop && !(smp.loopStart < smp.loopEnd && smp.loopEnd <= smp.pcm.size()))
            return where + "loop " + std::to_string(smp.loopStart) + ".." + std::to_string(smp.loopEnd) +
                   " does not fit " + std::to_string(smp.pcm.size()) + " frames";
    }
    for (size_t p = 0; p < song.patterns.size(); ++p) {
        for (int row = 0; row < kS3mRows; ++row) {
            for (int ch = 0; ch < kS3mMaxChannels; ++ch) {
                const S3mCell& c = song.patterns[p].At(row, ch);
                std::string where = "pattern " + std::to_string(p) + " row " + std::to_string(row) + " channel " +
                                    std::to_string(ch) + ": ";
                if (ch >= int(song.channels.size()) && !c.Empty()) return where + "channel is not in the song";
                std::string e = ValidateCell(c, song.samples.size());
                if (!e.empty()) return where + e;
            }
        }
    }
    return {};
}

std::vector<uint8_t> PackPattern(const S3mPattern& pattern, size_t channelCount) {
    ByteSink out;
    out.U16(0);  // packed length, patched below
    for (int row = 0; row < kS3mRows; ++row) {
        for (size_t ch = 0; ch < channelCount; ++ch) {
            const S3mCell& c = pattern.At(row, int(ch));
            uint8_t what = uint8_t(ch);
            if (c.note != kS3mNoNote || c.instrument != 0) what |= kPackNoteInstrument;
            if (c.volume != kS3mNoVolume) what |= kPackVolume;
            if (c.effect != 0) what |= kPackEffect;
            if (what == uint8_t(ch)) continue;
            out.U8(what);
            if (what & kPackNoteInstrument) out.U8(c.note), out.U8(c.instrument);
            if (what & kPackVolume) out.U8(c.volume);
            if (what & kPackEffect) out.U8(c.effect), out.U8(c.param);
        }
        out.U8(0);
    }
    out.PatchU16(0, uint16_t(out.Size()));
    return std::move(out.bytes);
}

// ST3 numbers its channels per side: the first left channel is L1 (0), the first right one R1 (8).
std::vector<uint8_t> ChannelSettings(const std::vector<S3mChannel>& channels) {
    std::vector<uint8_t> settings(kS3mMaxChannels, kChannelUnused);
    int next[2] = {0, 8};
    for (size_t i = 0; i < channels.size(); ++i) settings[i] = uint8_t(next[channels[i].right ? 1 : 0]++);
    return settings;
}

void WriteSampleData(ByteSink& out, const S3mSample& smp) {
    for (int16_t v : smp.pcm) {
        if (smp.sixteenBit) {
            out.U16(uint16_t(uint16_t(v) ^ 0x8000u));
        } else {
            int rounded = std::clamp((int(v) + 128) >> 8, -128, 127);
            out.U8(uint8_t(uint8_t(int8_t(rounded)) ^ 0x80u));
        }
    }
}

}  // namespace

S3mWriteResult WriteS3m(const S3mSong& song) {
    S3mWriteResult result;
    result.error = ValidateSong(song);
    if (!result.error.empty()) return result;

    // Players expect an even order count, the list closed by an end marker.
    std::vector<uint8_t> orders = song.orders;
    orders.push_back(kS3mOrderEnd);
    if (orders.size() % 2 != 0) orders.push_back(kS3mOrderEnd);

    ByteSink out;
    out.Text(song.title, 28);
    out.U8(0x1A);
    out.U8(16);  // file type: ST3 module
    out.Zeros(2);
    out.U16(uint16_t(orders.size()));
    out.U16(uint16_t(song.samples.size()));
    out.U16(uint16_t(song.patterns.size()));
    out.U16(0);  // flags
    out.U16(kTrackerVersion);
    out.U16(kUnsignedSamples);
    out.Text("SCRM", 4);
    out.U8(song.globalVolume);
    out.U8(song.initialSpeed);
    out.U8(song.initialTempo);
    out.U8(uint8_t(song.masterVolume | (song.stereo ? 0x80 : 0)));
    out.U8(kUltraClickChannels);
    out.U8(kUsePanTable);
    out.Zeros(8);
    out.U16(0);  // no special (message) block
    for (uint8_t s : ChannelSettings(song.channels)) out.U8(s);

    for (uint8_t o : orders) out.U8(o);
    size_t samplePointers = out.Size();
    out.Zeros(2 * song.samples.size());
    size_t patternPointers = out.Size();
    out.Zeros(2 * song.patterns.size());
    for (size_t ch = 0; ch < size_t(kS3mMaxChannels); ++ch) {
        if (ch < song.channels.size() && song.channels[ch].pan >= 0)
            out.U8(uint8_t(kPanValid | song.channels[ch].pan));
        else
            out.U8(0);  // no valid bit: the bank default applies
    }
    out.PadTo16();

    // Sample headers, with their data pointers patched once the data has a place.
    std::vector<size_t> sampleHeaderAt;
    for (size_t s = 0; s < song.samples.size(); ++s) {
        const S3mSample& smp = song.samples[s];
        sampleHeaderAt.push_back(out.Size());
        out.PatchU16(samplePointers + 2 * s, uint16_t(out.Size() / 16));
        out.U8(kSampleTypePcm);
        out.Text(smp.fileName, 12);
        out.Zeros(3);  // data pointer
        out.U32(uint32_t(smp.pcm.size()));
        out.U32(smp.loop ? smp.loopStart : 0);
        out.U32(smp.loop ? smp.loopEnd : 0);
        out.U8(smp.volume);
        out.U8(0);
        out.U8(0);  // not packed
        out.U8(uint8_t((smp.loop ? kSampleLoopFlag : 0) | (smp.sixteenBit ? kSample16BitFlag : 0)));
        out.U32(smp.c2spd);
        out.Zeros(12);
        out.Text(smp.name, 28);
        out.Text("SCRS", 4);
    }

    for (size_t p = 0; p < song.patterns.size(); ++p) {
        if (out.Size() > kMaxParapointerTarget) {
            result.error = "pattern " + std::to_string(p) + " would start past the 1 MiB parapointer range";
            return result;
        }
        out.PatchU16(patternPointers + 2 * p, uint16_t(out.Size() / 16));
        std::vector<uint8_t> packed = PackPattern(song.patterns[p], song.channels.size());
        out.bytes.insert(out.bytes.end(), packed.begin(), packed.end());
        out.PadTo16();
    }

    for (size_t s = 0; s < song.samples.size(); ++s) {
        size_t at = out.Size();
        if (at > kMaxSampleDataOffset) {
            result.error = "sample " + std::to_string(s + 1) + " data would start past the 256 MiB pointer range";
            return result;
        }
        uint32_t para = uint32_t(at / 16);
        size_t h = sampleHeaderAt[s];
        out.bytes[h + 0x0D] = uint8_t(para >> 16);
        out.PatchU16(h + 0x0E, uint16_t(para & 0xFFFF));
        WriteSampleData(out, song.samples[s]);
        out.PadTo16();
    }

    result.bytes = std::move(out.bytes);
    return result;
}

}  // namespace velor
