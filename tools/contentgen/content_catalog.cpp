#include "tools/contentgen/content_catalog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "tools/contentgen/content_names.h"
#include "tools/contentgen/image_files.h"
#include "tools/contentgen/meshes.h"
#include "tools/contentgen/mesh_writer.h"
#include "tools/contentgen/music_file.h"
#include "tools/contentgen/pack_writer.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

struct Job {
    std::string path;
    bool inPack;
    std::function<Blob()> make;
    int cost = 0;   // rough relative run time; the costliest jobs are started first
};

Blob Mesh(XFile (*make)()) { return FromText(WriteXFile(make())); }

std::vector<Job> Jobs() {
    using namespace names;
    std::vector<Job> jobs = {
        // Pack entries, in pack order.
        {kFire, true, [] { return EncodePngFile(PaintFireSheet(), 3, false); }, 35},
        {"skybox.x", true, [] { return Mesh(MakeSkyboxMesh); }},
        {"tree.x", true, [] { return Mesh(MakeTreeMesh); }},
        {"iskelet.x", true, [] { return Mesh(MakeSkeletonFile); }},
        {"duvar.x", true, [] { return Mesh(MakeCasterMesh); }},
        {"sphere.x", true, [] { return Mesh(MakeSphereMesh); }},
        {"scroll.x", true, [] { return Mesh(MakeGlowShellMesh); }},
        {"tunnel.x", true, [] { return Mesh(MakeTunnelMesh); }},
        {"ccube.x", true, [] { return Mesh(MakeCloudCubeMesh); }},
        {"quad.x", true, [] { return Mesh(MakeScreenQuadMesh); }},
        // Loose textures the demo names.
        {kFlare, false, [] { return EncodeJpegFile(PaintFlare(256), 100, true); }},
        {kLight, false, [] { return EncodePngFile(PaintWarmGlow(256), 4, true); }},
        {kLight1, false, [] { return EncodePngFile(PaintHaloGlow(256), 4, true); }},
        {kParticle, false, [] { return EncodePngFile(PaintSpark(128), 4, true); }},
        {kEnvironmentCube, false, [] { return EncodeCubeDdsFile(PaintEnvironmentCube(256), true); }},
        {kDetails, false, [] { return EncodeTgaFile(PaintDetail(256), 3, false); }},
        {kBlend, false, [] { return EncodePngFile(PaintBlendWeights(256), 3, true); }},
        {kRock, false, [] { return EncodeDdsFile(PaintRock(512), false); }, 7},
        {kGrass, false, [] { return EncodeJpegFile(PaintGrass(512), 92, false); }},
        {kTunnelWall, false, [] { return EncodePngFile(PaintTunnelWall(512), 3, false); }, 4},
        {kRockNormalMap, false, [] { return EncodeDdsFile(PaintRockNormals(512), false); }, 8},
        {kZombi, false, [] { return EncodePngFile(PaintZombi(512), 3, false); }, 28},
        // Textures the meshes' materials name.
        {kWallStone, false, [] { return EncodeJpegFile(PaintWallStone(512), 92, false); }, 5},
        {kFloorTiles, false, [] { return EncodeJpegFile(PaintFloorTiles(512), 92, false); }, 4},
        {kBark, false, [] { return EncodeJpegFile(PaintBark(256, 512), 92, false); }},
        {kLeaves, false, [] { return EncodeJpegFile(PaintLeaves(512), 92, false); }},
        {kBone, false, [] { return EncodeJpegFile(PaintBone(256), 92, false); }},
        {kSkyNorth, false, [] { return EncodeJpegFile(PaintSkyFace(sky::Face::North, 1024, 512), 94, true); }, 7},
        {kSkySouth, false, [] { return EncodeJpegFile(PaintSkyFace(sky::Face::South, 1024, 512), 94, true); }, 7},
        {kSkyEast, false, [] { return EncodeJpegFile(PaintSkyFace(sky::Face::East, 1024, 512), 94, true); }, 7},
        {kSkyWest, false, [] { return EncodeJpegFile(PaintSkyFace(sky::Face::West, 1024, 512), 94, true); }, 7},
        {kSkyTop, false, [] { return EncodeJpegFile(PaintSkyFace(sky::Face::Top, 512, 512), 94, true); }, 3},
    };
    jobs.push_back({kMusic, false, [] { return ComposeMusicFile(); }, 3});
    return jobs;
}

}  // namespace

bool IsImagePath(const std::string& path) {
    for (const char* ext : {".png", ".PNG", ".jpg", ".tga", ".dds"}) {
        const std::string e(ext);
        if (path.size() >= e.size() && path.compare(path.size() - e.size(), e.size(), e) == 0) return true;
    }
    return false;
}

namespace {

std::vector<GeneratedFile> RunJobs(const std::vector<Job>& jobs, int threads) {
    std::vector<GeneratedFile> results(jobs.size());
    // Longest first, so no long job is left to run alone at the end; the results keep the jobs'
    // order whatever order they are made in.
    std::vector<size_t> order(jobs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return jobs[a].cost > jobs[b].cost; });
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t k = next++; k < jobs.size(); k = next++) {
            const size_t i = order[k];
            const auto start = std::chrono::steady_clock::now();
            results[i].path = jobs[i].path;
            results[i].blob = jobs[i].make();
            results[i].seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    return results;
}

// The pack has no names: its order is its only index, so the entries must match the demo's table.
std::string CheckPackOrder(const std::vector<Job>& jobs) {
    size_t packIndex = 0;
    for (const Job& job : jobs) {
        if (!job.inPack) continue;
        if (packIndex >= kPackEntryNames.size() || job.path != kPackEntryNames[packIndex])
            return "pack entry " + std::to_string(packIndex) + " is " + job.path + ", not the name the demo expects";
        ++packIndex;
    }
    if (packIndex != kPackEntryNames.size()) return "the pack has " + std::to_string(packIndex) + " entries, not 10";
    return {};
}

GeneratedFile Pack(const std::vector<GeneratedFile>& entries) {
    std::vector<std::vector<uint8_t>> bytes;
    for (const GeneratedFile& e : entries) bytes.push_back(e.blob.bytes);
    std::string error;
    std::vector<uint8_t> pack = BuildPack(bytes, &error);
    return GeneratedFile{names::kPack, Blob{std::move(pack), error}, 0};
}

}  // namespace

ContentSet GenerateContent(int threads) {
    const std::vector<Job> jobs = Jobs();
    ContentSet set;
    set.error = CheckPackOrder(jobs);
    if (!set.error.empty()) return set;
    std::vector<GeneratedFile> results = RunJobs(jobs, threads);
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (!results[i].blob.ok() && set.error.empty()) set.error = results[i].path + ": " + results[i].blob.error;
        (jobs[i].inPack ? set.packEntries : set.files).push_back(std::move(results[i]));
    }
    GeneratedFile pack = Pack(set.packEntries);
    if (!pack.blob.ok() && set.error.empty()) set.error = pack.path + ": " + pack.blob.error;
    set.files.insert(set.files.begin(), std::move(pack));
    return set;
}

std::vector<std::string> ContentPaths() {
    std::vector<std::string> paths{names::kPack};
    for (const Job& job : Jobs()) paths.push_back(job.path);
    return paths;
}

Blob GenerateOne(const std::string& path) {
    if (path == names::kPack) return GeneratePack(2);
    for (const Job& job : Jobs())
        if (job.path == path) return job.make();
    return Blob::Fail(path + ": not a file the generator makes");
}

Blob GeneratePack(int threads) {
    std::vector<Job> jobs;
    for (Job& job : Jobs())
        if (job.inPack) jobs.push_back(std::move(job));
    const std::string order = CheckPackOrder(jobs);
    if (!order.empty()) return Blob::Fail(order);
    const std::vector<GeneratedFile> entries = RunJobs(jobs, threads);
    for (const GeneratedFile& e : entries)
        if (!e.blob.ok()) return Blob::Fail(e.path + ": " + e.blob.error);
    return Pack(entries).blob;
}

}  // namespace velor::content
