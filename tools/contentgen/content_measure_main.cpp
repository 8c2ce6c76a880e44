// velor-content-measure RUN_DIR      (VELOR_DUMP_FIRE=FILE.png also writes the fire sheet it measured)
//
// Development aid: prints the figures the content is judged by, read back from the files in a run
// folder the way the demo reads them — the zombi image's near-black texels that survive the colour
// key, the fire sheet's red levels and flicker (made afresh), how often one splat layer dominates, the rock normal
// map's tilt, the grain of the stone textures, and the module's length, loop, level and spectrum.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/audio/module_renderer.h"
#include "engine/image/image_decode.h"
#include "tools/common/path_arguments.h"
#include "tools/contentgen/content_catalog.h"
#include "tools/contentgen/textures.h"

namespace {

using namespace velor;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool Load(const std::string& path, Image* out) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    ImageResult<TextureImage> img = LoadImageFromMemory(bytes.data(), bytes.size(), path);
    if (!img.ok()) {
        std::printf("%s: %s\n", path.c_str(), img.error().c_str());
        return false;
    }
    *out = img->Top();
    return true;
}

double Luma(uint32_t p) { return 0.299 * RedOf(p) + 0.587 * GreenOf(p) + 0.114 * BlueOf(p); }

void Zombi(const std::string& dir) {
    Image img;
    if (!Load(dir + "/textures/zombi.png", &img)) return;
    size_t keyed = 0, nearBlack = 0, dim = 0;
    for (uint32_t p : img.pixels) {
        const uint32_t m = std::max({RedOf(p), GreenOf(p), BlueOf(p)});
        if (m == 0) ++keyed;
        else if (m < 16) ++nearBlack;
        else if (m < 40) ++dim;
    }
    std::printf("zombi.png: keyed black %zu, opaque near-black (max<16) %zu, dim (16..39) %zu\n", keyed, nearBlack, dim);
}

void Fire(const std::string& dir) {
    // The sheet lives inside the pack; it is made afresh here, by the generator this tool is built with.
    (void)dir;
    const velor::content::Blob blob = velor::content::GenerateOne("fire.png");
    ImageResult<TextureImage> decoded = LoadImageFromMemory(blob.bytes.data(), blob.bytes.size(), "fire.png");
    if (!decoded.ok()) return;
    if (const char* dump = std::getenv("VELOR_DUMP_FIRE")) {
        std::ofstream(dump, std::ios::binary).write(reinterpret_cast<const char*>(blob.bytes.data()), std::streamsize(blob.bytes.size()));
    }
    const Image img = decoded->Top();
    size_t flame = 0, hot = 0;
    size_t hist[4] = {0, 0, 0, 0};
    for (uint32_t p : img.pixels) {
        const uint32_t r = RedOf(p);
        if (r < 16) continue;
        ++flame;
        hot += r >= 250;
        ++hist[std::min<uint32_t>(3, r / 64)];
    }
    // Flicker: how much red changes from frame to frame in the flame's core.
    const int cw = velor::content::kFireCellWidth, ch = velor::content::kFireCellHeight;
    const int frames = velor::content::kFireColumns * velor::content::kFireRows;
    double flicker = 0;
    int n = 0;
    for (int y = 95; y < 135; ++y)
        for (int x = cw / 2 - 12; x < cw / 2 + 12; ++x) {
            double sum = 0, sum2 = 0;
            for (int f = 0; f < frames; ++f) {
                const double r = RedOf(img.At(uint32_t((f % velor::content::kFireColumns) * cw + x),
                                              uint32_t((f / velor::content::kFireColumns) * ch + y)));
                sum += r, sum2 += r * r;
            }
            const double mean = sum / frames;
            flicker += std::sqrt(std::max(0.0, sum2 / frames - mean * mean));
            ++n;
        }
    std::printf("fire.png: flame texels (r>=16) %zu, r>=250 %.1f %%, r quartiles [0-63 %.1f, 64-127 %.1f, 128-191 %.1f, "
                "192-255 %.1f] %%, core flicker (std of r over frames) %.1f\n",
                flame, 100.0 * double(hot) / double(flame), 100.0 * double(hist[0]) / double(flame),
                100.0 * double(hist[1]) / double(flame), 100.0 * double(hist[2]) / double(flame),
                100.0 * double(hist[3]) / double(flame), flicker / n);
}

void Blend(const std::string& dir) {
    Image img;
    if (!Load(dir + "/textures/BLEND.PNG", &img)) return;
    size_t dominated = 0;
    for (uint32_t p : img.pixels) dominated += std::max({RedOf(p), GreenOf(p), BlueOf(p)}) >= 204;
    std::printf("BLEND.PNG: one layer >= 80 %%: %.1f %% of texels\n", 100.0 * double(dominated) / double(img.pixels.size()));
}

void Normals(const std::string& dir) {
    Image img;
    if (!Load(dir + "/textures/rock_c_normalmap.dds", &img)) return;
    std::vector<double> tilt;
    for (uint32_t p : img.pixels) {
        // From x and y: near the pole the z byte is too coarse to resolve small tilts.
        const double x = RedOf(p) / 127.5 - 1.0, y = GreenOf(p) / 127.5 - 1.0;
        tilt.push_back(std::asin(std::min(1.0, std::sqrt(x * x + y * y))) * 180.0 / 3.14159265358979);
    }
    std::sort(tilt.begin(), tilt.end());
    std::printf("rock_c_normalmap.dds: tilt median %.1f deg, 90th percentile %.1f deg\n", tilt[tilt.size() / 2],
                tilt[tilt.size() * 9 / 10]);
}

// Mean absolute difference between a texel's luma and the mean of its 3 x 3 neighbourhood.
void Grain(const std::string& dir, const char* name) {
    Image img;
    if (!Load(dir + "/textures/" + name, &img)) return;
    double sum = 0;
    for (uint32_t y = 1; y + 1 < img.height; ++y)
        for (uint32_t x = 1; x + 1 < img.width; ++x) {
            double box = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) box += Luma(img.At(x + uint32_t(dx), y + uint32_t(dy)));
            sum += std::fabs(Luma(img.At(x, y)) - box / 9.0);
        }
    std::printf("%s: grain (luma vs 3x3 mean) %.2f\n", name, sum / double((img.width - 2) * (img.height - 2)));
}

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * 3.14159265358979 / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wn(1.0);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wn;
                a[i + k] = u + v, a[i + k + len / 2] = u - v;
                wn *= w;
            }
        }
    }
}

void Music(const std::string& dir) {
    constexpr int kRate = 44100;
    const std::vector<uint8_t> bytes = ReadAll(dir + "/Vob_058f.s3m");
    ModuleRendererResult opened = ModuleRenderer::OpenMemory(bytes, "Vob_058f.s3m", {kRate, true});
    if (!opened.renderer) {
        std::printf("module: %s\n", opened.error.c_str());
        return;
    }
    const double pass = opened.renderer->GetDurationSeconds();
    const std::vector<float> pcm = opened.renderer->RenderFrames(size_t((pass + 30.0) * kRate));
    double peak = 0;
    for (size_t i = 0; i < size_t(pass * kRate) * 2 && i < pcm.size(); ++i) peak = std::max(peak, double(std::fabs(pcm[i])));
    auto rms = [&](double a, double b) {
        double s = 0;
        size_t n = 0;
        for (size_t i = size_t(a * kRate) * 2; i < size_t(b * kRate) * 2 && i < pcm.size(); ++i) s += double(pcm[i]) * pcm[i], ++n;
        return 20.0 * std::log10(std::sqrt(s / double(std::max<size_t>(n, 1))) + 1e-12);
    };
    // Orders and tempo commands straight from the file.
    const int orderCount = bytes[0x20] | (bytes[0x21] << 8);
    std::printf("module: one pass %.2f s, peak %.2f dBFS, orders:", pass, 20.0 * std::log10(peak));
    for (int i = 0; i < orderCount; ++i) std::printf(" %d", bytes[0x60 + size_t(i)]);
    std::printf("\n  rms last 5 s of the pass %.1f dB, first 10 s after it %.1f dB, 10-30 s after %.1f dB\n",
                rms(pass - 5, pass), rms(pass, pass + 10), rms(pass + 10, pass + 30));
    // Energy per band over the pass, averaged over 8192-frame blocks of the mono mix.
    constexpr size_t kBlock = 8192;
    const double edges[] = {20, 60, 120, 250, 500, 2000, 6000, 20000};
    double band[7] = {0};
    std::vector<std::complex<double>> a(kBlock);
    for (size_t start = 0; (start + kBlock) * 2 <= size_t(pass * kRate) * 2; start += kBlock) {
        for (size_t i = 0; i < kBlock; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * double(i) / double(kBlock));
            a[i] = w * 0.5 * (pcm[(start + i) * 2] + pcm[(start + i) * 2 + 1]);
        }
        Fft(a);
        for (size_t k = 1; k < kBlock / 2; ++k) {
            const double hz = double(k) * kRate / double(kBlock);
            for (int b = 0; b < 7; ++b)
                if (hz >= edges[b] && hz < edges[b + 1]) band[b] += std::norm(a[k]);
        }
    }
    double total = 0;
    for (double e : band) total += e;
    std::printf("  energy by band:");
    for (int b = 0; b < 7; ++b)
        std::printf(" %g-%g Hz %.1f %% (%.1f dB)", edges[b], edges[b + 1], 100.0 * band[b] / total,
                    10.0 * std::log10(band[b] / total));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> paths;
    const auto exit = velor::tools::ParsePathArguments(
        "velor-content-measure",
        "usage: velor-content-measure RUN_DIR\n"
        "Prints the figures the content is judged by, read back from the files in RUN_DIR the way the\n"
        "demo reads them (VELOR_DUMP_FIRE=FILE.png also writes the fire sheet it measured).\n",
        argc, argv, 1, 1, &paths);
    if (exit) return *exit;
    const std::string dir = paths[0];
    Zombi(dir);
    Fire(dir);
    Blend(dir);
    Normals(dir);
    for (const char* name : {"tunnel.png", "wall_stone.jpg", "floor_tiles.jpg", "bark.jpg"}) Grain(dir, name);
    Music(dir);
    return 0;
}
