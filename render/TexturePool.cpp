#include "render/TexturePool.h"

#include "core/base/Errors.h"
#include "core/base/Feedback.h"
#include "core/base/Parallel.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "render/Textures.h"

#include <GL/gl.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace {

std::string NormalKey(const std::string& name) {
    return UpperCase(Trim(name));
}

} // namespace

TTexturePool::~TTexturePool() {
    ClearTextures();
}

const int32_t* TTexturePool::Lookup(const std::string& key) const {
    const size_t index = IndexOf(key);
    return index < pool_.size() ? &pool_[index].second : nullptr;
}

size_t TTexturePool::IndexOf(const std::string& key) const {
    const auto found = entryOfKey_.find(UpperCase(key));
    return found != entryOfKey_.end() ? found->second : pool_.size();
}

void TTexturePool::Add(const std::string& key, int32_t texture) {
    entryOfKey_.emplace(UpperCase(key), pool_.size());
    pool_.emplace_back(key, texture);
}

// A name that cannot be loaded is stored with the fallback, so it is tried once per track.
int32_t TTexturePool::Remember(const std::string& key, bool loaded, int32_t texture) {
    const int32_t id = loaded ? texture : missingTexture_;
    Add(key, id);
    return id;
}

int32_t TTexturePool::GetGameTexture(const std::string& name, TGameLoad& load) {
    const std::string key = NormalKey(name);
    if (const int32_t* known = Lookup(key)) {
        return *known;
    }
    int32_t texture = 0;
    const bool loaded = LoadGameTexture(name, load, texture);
    return Remember(key, loaded, texture);
}

namespace {

// Pictures already read for one texture list, so that names with identical pixels and palette
// share one GL texture: a list may name thousands of entries that hold one picture.
class TSeenPictures {
public:
    // The pool entry of an earlier picture equal to pending, or nullopt after remembering it
    // under entry.
    std::optional<size_t> Find(const TPendingTexture& pending, size_t entry) {
        const std::string_view pixels(reinterpret_cast<const char*>(pending.Raw.Indices.data()),
                                      pending.Raw.Indices.size());
        const size_t hash = std::hash<std::string_view>()(pixels) ^
                            std::hash<const void*>()(pending.Palette) * 31 ^
                            static_cast<size_t>(pending.Raw.Side);
        const auto [first, last] = seen_.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            const TSeen& earlier = it->second;
            if (earlier.Palette == pending.Palette && earlier.Side == pending.Raw.Side &&
                earlier.Indices == pending.Raw.Indices) {
                return earlier.Entry;
            }
        }
        seen_.emplace(hash, TSeen{entry, pending.Palette, pending.Raw.Side, pending.Raw.Indices});
        return std::nullopt;
    }

private:
    struct TSeen {
        size_t Entry;
        const TPalette* Palette;
        int Side;
        std::vector<uint8_t> Indices;
    };
    std::unordered_multimap<size_t, TSeen> seen_;
};

// Pictures coloured at once: enough for the threads, few enough that the coloured copies of a
// long list never pile up before their upload.
constexpr size_t kColourBatch = 32;

} // namespace

std::vector<int32_t> TTexturePool::GetTextureList(const std::vector<std::string>& names,
                                                  TGameLoad& load, TLoadProgress& progress) {
    struct TJob {
        size_t Entry;
        TPendingTexture Texture;
    };
    std::vector<TJob> jobs;
    const auto uploadJobs = [&] {
        ParallelFor(jobs.size(), [&jobs](size_t i) { ColourPendingTexture(jobs[i].Texture); });
        for (TJob& job : jobs) {
            pool_[job.Entry].second = UploadPendingTexture(job.Texture);
        }
        jobs.clear();
    };
    TSeenPictures seen;
    // Entries that show the picture of an earlier entry, which gets its GL name only on upload.
    std::vector<std::pair<size_t, size_t>> sharing;
    // The pool entry of every name; none for a name whose load raised.
    std::vector<std::optional<size_t>> entries(names.size());
    for (size_t k = 0; k < names.size(); ++k) {
        progress.SetSubAction(names[k]);
        try {
            const std::string name = "ART\\" + names[k];
            const std::string key = NormalKey(name);
            size_t entry = IndexOf(key);
            if (entry == pool_.size()) {
                TPendingTexture pending;
                const bool read = ReadGameTexture(name, load, pending);
                // Remembered at once, so a name listed twice is read once; the GL name of a
                // read texture comes with its upload below.
                Add(key, read ? 0 : missingTexture_);
                if (read) {
                    if (const std::optional<size_t> same = seen.Find(pending, entry)) {
                        sharing.emplace_back(entry, *same);
                    } else {
                        jobs.push_back({entry, std::move(pending)});
                    }
                }
            }
            entries[k] = entry;
        } catch (const std::exception&) {
            // A texture that cannot be read keeps entry 0; the rest of the track still loads.
        }
        if (jobs.size() >= kColourBatch) {
            uploadJobs();
        }
        progress.StepIt();
    }
    uploadJobs();
    for (const auto& [entry, shown] : sharing) {
        pool_[entry].second = pool_[shown].second;
    }
    std::vector<int32_t> textures(names.size(), 0);
    for (size_t k = 0; k < names.size(); ++k) {
        if (entries[k]) {
            textures[k] = pool_[*entries[k]].second;
        }
    }
    return textures;
}

int32_t TTexturePool::GetFileTexture(const std::string& path, const std::string& key) {
    const std::string normal = NormalKey(key);
    if (const int32_t* known = Lookup(normal)) {
        return *known;
    }
    int32_t texture = 0;
    const bool loaded = LoadTextureFile(path, texture);
    return Remember(normal, loaded, texture);
}

int32_t TTexturePool::FindTexture(const std::string& key) const {
    const int32_t* known = Lookup(NormalKey(key));
    return known != nullptr ? *known : -1;
}

void TTexturePool::ClearTextures() {
    std::vector<GLuint> names;
    for (const auto& entry : pool_) {
        if (entry.second != missingTexture_) {
            names.push_back(static_cast<GLuint>(entry.second));
        }
    }
    // Entries with one picture share its name.
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    if (!names.empty()) {
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    }
    pool_.clear();
    entryOfKey_.clear();
}

void TTexturePool::LoadMissingTexture() {
    int32_t texture = 0;
    try {
        if (!LoadTextureFile(ProgramFolder() + "data/missing.tga", texture)) {
            texture = 0;
        }
    } catch (const EInOutError& e) {
        // A damaged fallback image must not stop the viewer from starting; it only draws
        // untextured in place of missing textures.
        Messages().ShowMessage(e.what(), "TGA File Error");
        texture = 0;
    }
    missingTexture_ = texture;
}

int32_t TTrackTextures::ForQuad(int32_t number, int32_t fallbackTexture) const {
    if (number < 0 || static_cast<size_t>(number) >= names_.size()) {
        return fallbackTexture;
    }
    return names_[static_cast<size_t>(number)];
}
