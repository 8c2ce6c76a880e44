// velor-xsurvey: the engine's X-file reader over many files at once.
//
//   velor-xsurvey [--generated] [--damage] [--count N] [--seed N] [--seconds S] [--verbose] [PATH...]
//
// Without --damage it prints one row per file: what the hierarchy loader made of it (frames, meshes,
// vertices, faces, materials, bones, animation sets and their keys) or the reader's error. PATHs are
// .x files or folders of them; --generated adds the X files of the demo's own content, made in
// memory.
//
// With --damage every file is spoiled in many small ways — cut short, a byte changed, a token
// dropped or doubled, a count made huge, a number made odd — and each spoiled copy goes through
// both loaders. Each copy must either load into a mesh whose indices, attributes and adjacency hold
// together, or be refused with "name: line N: ..." and nothing left allocated. A copy that breaks
// this stops the run with its name; one that takes longer than --seconds stops it too, so a hang
// shows up as a named failure rather than a stuck test. The variants are drawn from a fixed seed,
// so a failure reproduces.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/d3dx_mesh.h"
#include "tools/contentgen/content_catalog.h"

namespace {

using namespace velor;

struct Source {
    std::string name;  // what rows and errors call it
    std::string text;
};

// ---- Loading and checking ----------------------------------------------------------------------

[[noreturn]] void Broken(const std::string& label, const char* what) {
    std::fprintf(stderr, "velor-xsurvey: %s: %s\n", label.c_str(), what);
    std::abort();
}

void Require(bool condition, const std::string& label, const char* what) {
    if (!condition) Broken(label, what);
}

void CheckMesh(const Mesh& mesh, const std::string& label) {
    for (uint32_t i = 0; i < mesh.GetNumFaces() * 3; ++i)
        Require(mesh.IndexAt(i) < mesh.GetNumVertices(), label, "an index past the vertices");
    Require(mesh.Attributes().size() == mesh.GetNumFaces(), label, "not one attribute per face");
}

struct Counts {
    uint32_t frames = 0, meshes = 0, vertices = 0, faces = 0, materials = 0, bones = 0;
    uint32_t animationSets = 0, tracks = 0, keys = 0;
};

// Counts what the loader hands over and checks each container as it arrives.
class CountingAllocator : public AllocateHierarchy {
public:
    explicit CountingAllocator(std::string label) : label_(std::move(label)) {}

    Result CreateFrame(const char* name, Frame** newFrame) override {
        auto* frame = new Frame;
        if (name != nullptr && name[0] != '\0') frame->name = strdup(name);
        MatrixIdentity(&frame->transformationMatrix);
        *newFrame = frame;
        ++live;
        return Result::Ok;
    }

    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance* effectInstances, uint32_t numMaterials, const uint32_t* adjacency,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** newMeshContainer) override {
        (void)name;
        (void)effectInstances;
        Require(meshData != nullptr && meshData->mesh != nullptr, label_, "a mesh container without a mesh");
        const Mesh& mesh = *meshData->mesh;
        CheckMesh(mesh, label_);
        for (uint32_t i = 0; i < numMaterials; ++i) (void)materials[i].textureFilename.size();
        for (uint32_t i = 0; i < mesh.GetNumFaces() * 3; ++i)
            Require(adjacency[i] == kUnused32 || adjacency[i] < mesh.GetNumFaces(), label_, "adjacency past the faces");
        for (uint32_t a : mesh.Attributes())
            Require(numMaterials == 0 ? a == 0 : a < numMaterials, label_, "an attribute past the materials");
        auto* container = new MeshContainer;
        container->meshData = *meshData;
        container->skinInfo = skinInfo;
        *newMeshContainer = container;
        ++live;
        counts.meshes += 1;
        counts.vertices += mesh.GetNumVertices();
        counts.faces += mesh.GetNumFaces();
        counts.materials += numMaterials;
        if (skinInfo != nullptr) {
            Require(skinInfo->GetNumVertices() == mesh.GetNumVertices(), label_, "skin and mesh disagree on vertices");
            counts.bones += skinInfo->GetNumBones();
        }
        return Result::Ok;
    }

    Result DestroyFrame(Frame* frame) override {
        std::free(frame->name);
        delete frame;
        --live;
        return Result::Ok;
    }

    Result DestroyMeshContainer(MeshContainer* container) override {
        delete container;
        --live;
        return Result::Ok;
    }

    int live = 0;
    Counts counts;

private:
    std::string label_;
};

uint32_t CountFrames(const Frame* frame) {
    uint32_t n = 0;
    for (; frame != nullptr; frame = frame->frameSibling) n += 1 + CountFrames(frame->frameFirstChild);
    return n;
}

void SkinEveryContainer(const Frame* frame) {
    for (; frame != nullptr; frame = frame->frameSibling) {
        for (const MeshContainer* c = frame->meshContainer; c != nullptr; c = c->nextMeshContainer) {
            if (c->skinInfo == nullptr) continue;
            const Mesh& mesh = *c->meshData.mesh;
            std::vector<Matrix> bones(c->skinInfo->GetNumBones());
            for (Matrix& bone : bones) MatrixIdentity(&bone);
            std::vector<uint8_t> out(size_t(mesh.GetNumVertices()) * mesh.GetNumBytesPerVertex());
            c->skinInfo->UpdateSkinnedMesh(bones.data(), nullptr, mesh.VertexData(), out.data());
        }
        SkinEveryContainer(frame->frameFirstChild);
    }
}

struct Outcome {
    bool loaded = false;
    std::string error;  // the reader's message when refused
    Counts counts;
};

// The hierarchy loader, with its frames walked, skins applied and animation advanced, then freed.
Outcome LoadHierarchy(std::string_view text, const std::string& label) {
    CountingAllocator allocator(label);
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    Outcome outcome;
    const Result r = LoadMeshHierarchyFromXInMemory(text, label, MeshOption::Managed, nullptr, &allocator, nullptr,
                                                    &root, &controller, &outcome.error);
    if (Failed(r)) {
        Require(root == nullptr && controller == nullptr, label, "a refused file left a hierarchy");
        Require(allocator.live == 0, label, "a refused file left frames or containers allocated");
        Require(outcome.error.rfind(label + ": line ", 0) == 0, label, "an error without the file and line");
        return outcome;
    }
    outcome.loaded = true;
    outcome.counts = allocator.counts;
    outcome.counts.frames = CountFrames(root);
    if (controller != nullptr) {
        outcome.counts.animationSets = controller->GetNumAnimationSets();
        for (uint32_t s = 0; s < controller->GetNumAnimationSets(); ++s) {
            std::shared_ptr<AnimationSet> set;
            controller->GetAnimationSet(s, &set);
            outcome.counts.tracks += set->GetNumAnimations();
            for (uint32_t a = 0; a < set->GetNumAnimations(); ++a)
                outcome.counts.keys += set->GetNumRotationKeys(a) + set->GetNumScaleKeys(a) +
                                       set->GetNumTranslationKeys(a) + set->GetNumMatrixKeys(a);
        }
        controller->AdvanceTime(0.37);
        controller->AdvanceTime(1e6);
    }
    SkinEveryContainer(root);
    FrameDestroy(root, &allocator);
    Require(allocator.live == 0, label, "FrameDestroy left frames or containers");
    return outcome;
}

// The flat loader and what the demo runs on its result: adjacency, point reps, optimisation.
void LoadFlat(std::string_view text, const std::string& label) {
    std::shared_ptr<Mesh> mesh;
    std::vector<uint32_t> adjacency;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    uint32_t materialCount = 0;
    std::string error;
    const Result r = LoadMeshFromXInMemory(text, label, MeshOption::Managed, nullptr, &adjacency, &materials, &effects,
                                           &materialCount, &mesh, &error);
    if (Failed(r)) {
        Require(mesh == nullptr, label, "a refused file left a mesh");
        Require(error.rfind(label + ": line ", 0) == 0, label, "an error without the file and line");
        return;
    }
    Require(mesh != nullptr, label, "a load succeeded without a mesh");
    CheckMesh(*mesh, label);
    Require(materialCount == materials.size(), label, "material counts disagree");
    Require(adjacency.size() == size_t(mesh->GetNumFaces()) * 3, label, "adjacency of the wrong size");
    std::vector<uint32_t> reps(mesh->GetNumVertices());
    Require(Succeeded(mesh->ConvertAdjacencyToPointReps(adjacency.data(), reps.data())), label, "point reps failed");
    if (Succeeded(mesh->OptimizeInplace(MeshOpt::Compact | MeshOpt::AttrSort | MeshOpt::VertexCache, adjacency.data(),
                                        nullptr, nullptr, nullptr)))
        CheckMesh(*mesh, label);
}

// ---- The watchdog --------------------------------------------------------------------------------

// NOTE: read by the SIGALRM handler, so a plain buffer written before each arm, not a std::string.
char g_current[512] = "";

void OnAlarm(int) {
    const char prefix[] = "velor-xsurvey: took too long, stopped in ";
    ssize_t ignored = write(STDERR_FILENO, prefix, sizeof prefix - 1);
    ignored = write(STDERR_FILENO, g_current, strnlen(g_current, sizeof g_current));
    ignored = write(STDERR_FILENO, "\n", 1);
    (void)ignored;
    _exit(124);
}

void Arm(const std::string& label, unsigned seconds) {
    std::snprintf(g_current, sizeof g_current, "%s", label.c_str());
    alarm(seconds);
}

// ---- Damage ---------------------------------------------------------------------------------------

struct Rng {
    uint64_t state;
    uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : size_t(Next()) % n; }
};

uint64_t HashOf(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

struct Token {
    size_t at, size;
    bool whole;    // digits only, maybe signed: a count or an index
    bool number;   // a whole or a decimal number
};

// Words, numbers, strings and single punctuation marks, as a damaging hand would see them.
std::vector<Token> Tokens(const std::string& text) {
    std::vector<Token> tokens;
    size_t i = 0;
    auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' || c == '+'; };
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '"') {
            size_t end = text.find('"', i + 1);
            end = end == std::string::npos ? text.size() : end + 1;
            tokens.push_back({i, end - i, false, false});
            i = end;
        } else if (wordChar(c)) {
            size_t end = i;
            while (end < text.size() && wordChar(text[end])) ++end;
            const std::string_view w(text.data() + i, end - i);
            const size_t digitsFrom = (w[0] == '-' || w[0] == '+') ? 1 : 0;
            const bool whole = w.size() > digitsFrom && std::all_of(w.begin() + digitsFrom, w.end(), [](char d) { return std::isdigit(static_cast<unsigned char>(d)); });
            const bool number = whole || (w.size() > digitsFrom && std::isdigit(static_cast<unsigned char>(w[digitsFrom])) &&
                                          w.find_first_not_of("0123456789.-+eE") == std::string_view::npos);
            tokens.push_back({i, end - i, whole, number});
            i = end;
        } else {
            tokens.push_back({i, 1, false, false});
            ++i;
        }
    }
    return tokens;
}

struct Variant {
    std::string kind;
    std::string label;
    std::string text;
};

std::vector<Variant> Damage(const Source& source, uint64_t seed, int count) {
    Rng rng{HashOf(source.name) ^ seed};
    const std::string& text = source.text;
    const std::vector<Token> tokens = Tokens(text);
    std::vector<size_t> wholes, numbers;
    for (size_t t = 0; t < tokens.size(); ++t) {
        if (tokens[t].whole) wholes.push_back(t);
        if (tokens[t].number && !tokens[t].whole) numbers.push_back(t);
    }
    std::vector<Variant> out;
    auto add = [&](const std::string& kind, const std::string& what, std::string damaged) {
        out.push_back({kind, source.name + "~" + kind + "@" + what, std::move(damaged)});
    };
    auto replaceToken = [&](const Token& t, const std::string& with) {
        return text.substr(0, t.at) + with + text.substr(t.at + t.size);
    };

    // Cut short: evenly through the file, then anywhere.
    for (int i = 0; i < count * 2; ++i) {
        const size_t at = i < count ? text.size() * size_t(i) / size_t(count) : rng.Below(text.size());
        add("cut", std::to_string(at), text.substr(0, at));
    }
    // One byte changed, mostly to something the grammar cares about.
    static const std::string kBytes = std::string("{};,\"<>[]-.e0x9 \n", 17) + std::string("\0\x01\x7f\xff\xc3", 5);
    for (int i = 0; i < count; ++i) {
        if (text.empty()) break;
        const size_t at = rng.Below(text.size());
        const char with = i % 4 == 3 ? char(rng.Next() & 0xff) : kBytes[rng.Below(kBytes.size())];
        std::string damaged = text;
        damaged[at] = with;
        char what[48];
        std::snprintf(what, sizeof what, "%zu=0x%02x", at, unsigned(static_cast<unsigned char>(with)));
        add("byte", what, std::move(damaged));
    }
    // A token dropped, a token written twice.
    for (int i = 0; i < count && !tokens.empty(); ++i) {
        const Token& t = tokens[rng.Below(tokens.size())];
        add("drop", std::to_string(t.at), replaceToken(t, ""));
    }
    for (int i = 0; i < count && !tokens.empty(); ++i) {
        const Token& t = tokens[rng.Below(tokens.size())];
        const std::string word = text.substr(t.at, t.size);
        add("twice", std::to_string(t.at), replaceToken(t, word + " " + word));
    }
    // A count or index made huge, negative or zero.
    static const std::array<const char*, 10> kCounts = {"4294967295", "4294967296", "2147483647", "2147483648",
                                                        "99999999",   "1065353216", "0",          "-1",
                                                        "18446744073709551615", "1065"};
    for (int i = 0; i < count && !wholes.empty(); ++i) {
        const Token& t = tokens[wholes[rng.Below(wholes.size())]];
        const char* with = kCounts[size_t(i) % kCounts.size()];
        add("count", std::to_string(t.at) + "=" + with, replaceToken(t, with));
    }
    // A number too small, too large or not quite a number.
    static const std::array<const char*, 10> kFloats = {"1e-400", "1e400", "-3.5e38", "nan",   "inf",
                                                        "1.#QNAN", "0x10", "1e",     "--1.0", "1.0.0"};
    for (int i = 0; i < count / 2 && !numbers.empty(); ++i) {
        const Token& t = tokens[numbers[rng.Below(numbers.size())]];
        const char* with = kFloats[size_t(i) % kFloats.size()];
        add("float", std::to_string(t.at) + "=" + with, replaceToken(t, with));
    }
    return out;
}

// ---- Sources ---------------------------------------------------------------------------------------

bool IsXFile(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".x";
}

bool ReadFile(const std::filesystem::path& p, std::string* text) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    *text = all.str();
    return true;
}

bool AddPath(const std::string& arg, std::vector<Source>* sources) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> files;
    if (fs::is_directory(arg, ec)) {
        for (const auto& entry : fs::directory_iterator(arg, ec))
            if (entry.is_regular_file() && IsXFile(entry.path())) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(arg);
    }
    for (const fs::path& p : files) {
        std::string text;
        if (!ReadFile(p, &text)) {
            std::fprintf(stderr, "velor-xsurvey: cannot read %s\n", p.c_str());
            return false;
        }
        sources->push_back({p.filename().string(), std::move(text)});
    }
    return true;
}

bool AddGenerated(std::vector<Source>* sources) {
    for (const std::string& path : content::ContentPaths()) {
        if (!IsXFile(path)) continue;
        const content::Blob blob = content::GenerateOne(path);
        if (!blob.ok()) {
            std::fprintf(stderr, "velor-xsurvey: %s\n", blob.error.c_str());
            return false;
        }
        sources->push_back({path, std::string(blob.bytes.begin(), blob.bytes.end())});
    }
    return true;
}

// ---- The two modes ------------------------------------------------------------------------------------

int Survey(const std::vector<Source>& sources, unsigned seconds) {
    std::printf("%-34s %-7s %6s %6s %8s %8s %9s %6s %5s %7s %6s\n", "file", "result", "frames", "meshes", "vertices",
                "faces", "materials", "bones", "sets", "tracks", "keys");
    int refused = 0;
    for (const Source& s : sources) {
        Arm(s.name, seconds);
        const Outcome o = LoadHierarchy(s.text, s.name);
        LoadFlat(s.text, s.name);
        alarm(0);
        if (!o.loaded) {
            std::printf("%-34s refused %s\n", s.name.c_str(), o.error.c_str());
            ++refused;
            continue;
        }
        const Counts& c = o.counts;
        std::printf("%-34s %-7s %6u %6u %8u %8u %9u %6u %5u %7u %6u\n", s.name.c_str(), "loaded", c.frames, c.meshes,
                    c.vertices, c.faces, c.materials, c.bones, c.animationSets, c.tracks, c.keys);
    }
    std::printf("%zu files: %zu loaded, %d refused\n", sources.size(), sources.size() - size_t(refused), refused);
    return 0;
}

int DamageAll(const std::vector<Source>& sources, uint64_t seed, int count, unsigned seconds, bool verbose) {
    size_t total = 0, loaded = 0;
    std::map<std::string, std::pair<size_t, size_t>> byKind;  // kind -> (variants, loaded)
    for (const Source& s : sources) {
        size_t sourceLoaded = 0;
        const std::vector<Variant> variants = Damage(s, seed, count);
        for (const Variant& v : variants) {
            Arm(v.label, seconds);
            const Outcome o = LoadHierarchy(v.text, v.label);
            LoadFlat(v.text, v.label);
            alarm(0);
            auto& kind = byKind[v.kind];
            ++kind.first;
            if (o.loaded) {
                ++kind.second;
                ++sourceLoaded;
            }
            if (verbose) std::printf("  %s\n", o.loaded ? (v.label + ": loaded").c_str() : o.error.c_str());
        }
        std::printf("%-34s %4zu variants: %4zu loaded, %4zu refused\n", s.name.c_str(), variants.size(), sourceLoaded,
                    variants.size() - sourceLoaded);
        total += variants.size();
        loaded += sourceLoaded;
    }
    for (const auto& [kind, n] : byKind)
        std::printf("  %-6s %5zu variants: %5zu loaded, %5zu refused\n", kind.c_str(), n.first, n.second, n.first - n.second);
    std::printf("%zu damaged variants of %zu files: %zu loaded, %zu refused, none broke the reader\n", total,
                sources.size(), loaded, total - loaded);
    return 0;
}

constexpr const char* kUsageLine =
    "usage: velor-xsurvey [--generated] [--damage] [--count N] [--seed N] [--seconds S] [--verbose] [PATH...]";

// With a reason: a refused command line, one line on the error output and exit 2; without: the help.
int PrintUsage(const char* why) {
    if (why != nullptr) {
        std::fprintf(stderr, "velor-xsurvey: %s; %s\n", why, kUsageLine);
        return 2;
    }
    std::printf("%s\n"
                "  PATH          an X file or a folder of them\n"
                "  --generated   also the X files of the demo's generated content\n"
                "  --damage      load spoiled copies of every file instead of the files themselves\n"
                "  --count N     spoiled copies per kind of damage (default 16; cuts get twice as many)\n"
                "  --seed N      seed for where the damage goes (default 1)\n"
                "  --seconds S   longest one file may take before the run stops (default 10)\n"
                "  --verbose     with --damage, one line per copy\n", kUsageLine);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Source> sources;
    bool generated = false, damage = false, verbose = false;
    int count = 16;
    uint64_t seed = 1;
    unsigned seconds = 10;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--generated") {
            generated = true;
        } else if (arg == "--damage") {
            damage = true;
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (arg == "--count" || arg == "--seed" || arg == "--seconds") {
            if (value == nullptr) return PrintUsage("a number must follow the option");
            const long long n = std::atoll(value);
            if (n < 1) return PrintUsage("the number must be 1 or more");
            if (arg == "--count") count = int(std::min(n, 100000ll));
            if (arg == "--seed") seed = uint64_t(n);
            if (arg == "--seconds") seconds = unsigned(std::min(n, 3600ll));
            ++i;
        } else if (arg == "--help" || arg == "-h") {
            return PrintUsage(nullptr);
        } else if (!arg.empty() && arg[0] == '-') {
            return PrintUsage(("unknown option '" + arg + "'").c_str());
        } else {
            paths.push_back(arg);
        }
    }
    for (const std::string& p : paths)
        if (!AddPath(p, &sources)) return 2;
    if (generated && !AddGenerated(&sources)) return 2;
    if (sources.empty()) return PrintUsage("no X files given");
    signal(SIGALRM, OnAlarm);
    try {
        return damage ? DamageAll(sources, seed, count, seconds, verbose) : Survey(sources, seconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velor-xsurvey: %s: %s\n", g_current, e.what());
        return 1;
    }
}
