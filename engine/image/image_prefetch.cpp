#include "engine/image/image_prefetch.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "engine/image/image_decode.h"

#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
#define VELOR_PREFETCH_THREAD 1
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace velor {

std::vector<std::string> ImageFilesIn(std::string_view folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder), ec)) {
        if (!entry.is_regular_file(ec)) continue;
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".tga" || ext == ".bmp" || ext == ".dds")
            files.push_back(std::string(folder) + "/" + entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

#ifdef VELOR_PREFETCH_THREAD

namespace {

struct Prefetch {
    std::vector<std::string> paths;
    std::vector<std::optional<ImageResult<TextureImage>>> results;  // filled in order by the thread
    std::vector<bool> taken;
    size_t decoded = 0;  // results[0 .. decoded) are ready
    bool stop = false;
    std::mutex mutex;
    std::condition_variable ready;
    std::thread thread;

    // Also at exit, when a program leaves without ending the prefetch.
    ~Prefetch() {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        if (thread.joinable()) thread.join();
    }
};

std::unique_ptr<Prefetch> gPrefetch;

void Decode(Prefetch* prefetch) {
    for (size_t i = 0; i < prefetch->paths.size(); ++i) {
        {
            std::lock_guard lock(prefetch->mutex);
            if (prefetch->stop) return;
            if (prefetch->taken[i]) {  // the caller got there first and loads it itself
                prefetch->decoded = i + 1;
                continue;
            }
        }
        ImageResult<TextureImage> result = DecodeImageFile(prefetch->paths[i]);
        std::lock_guard lock(prefetch->mutex);
        prefetch->results[i] = std::move(result);
        prefetch->decoded = i + 1;
        prefetch->ready.notify_all();
    }
    std::lock_guard lock(prefetch->mutex);
    prefetch->decoded = prefetch->paths.size();
    prefetch->ready.notify_all();
}

}  // namespace

void PrefetchImageFiles(std::vector<std::string> paths) {
    EndImagePrefetch();
    auto prefetch = std::make_unique<Prefetch>();
    prefetch->results.resize(paths.size());
    prefetch->taken.assign(paths.size(), false);
    prefetch->paths = std::move(paths);
    try {
        prefetch->thread = std::thread(Decode, prefetch.get());
    } catch (const std::system_error&) {
        return;  // no thread: every load is direct
    }
    gPrefetch = std::move(prefetch);
}

void EndImagePrefetch() { gPrefetch.reset(); }

std::optional<ImageResult<TextureImage>> TakePrefetchedImage(std::string_view path) {
    Prefetch* prefetch = gPrefetch.get();
    if (prefetch == nullptr) return std::nullopt;
    auto it = std::find(prefetch->paths.begin(), prefetch->paths.end(), path);
    if (it == prefetch->paths.end()) return std::nullopt;
    const size_t i = size_t(it - prefetch->paths.begin());
    std::unique_lock lock(prefetch->mutex);
    if (prefetch->taken[i]) return std::nullopt;  // a second load of the same file reads it again
    if (prefetch->decoded <= i && !prefetch->results[i]) {
        // Not decoded yet: wait only if the thread is on it now, else load directly.
        if (prefetch->decoded < i) {
            prefetch->taken[i] = true;
            return std::nullopt;
        }
        prefetch->ready.wait(lock, [&] { return prefetch->results[i].has_value() || prefetch->decoded > i; });
    }
    prefetch->taken[i] = true;
    std::optional<ImageResult<TextureImage>> result = std::move(prefetch->results[i]);
    prefetch->results[i].reset();
    return result;
}

#else

void PrefetchImageFiles(std::vector<std::string>) {}
void EndImagePrefetch() {}
std::optional<ImageResult<TextureImage>> TakePrefetchedImage(std::string_view) { return std::nullopt; }

#endif

}  // namespace velor
