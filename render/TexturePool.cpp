#include "render/TexturePool.h"

#include "core/base/Errors.h"
#include "core/base/Feedback.h"
#include "core/base/Parallel.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "render/Textures.h"

#include <GL/gl.h>

#include <optional>

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

std::vector<int32_t> TTexturePool::GetTextureList(const std::vector<std::string>& names,
                                                  TGameLoad& load, TLoadProgress& progress) {
    struct TJob {
        size_t Entry;
        TPendingTexture Texture;
    };
    std::vector<TJob> jobs;
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
                    jobs.push_back({entry, std::move(pending)});
                }
            }
            entries[k] = entry;
        } catch (const std::exception&) {
            // A texture that cannot be read keeps entry 0; the rest of the track still loads.
        }
        progress.StepIt();
    }
    ParallelFor(jobs.size(), [&jobs](size_t i) { ColourPendingTexture(jobs[i].Texture); });
    for (TJob& job : jobs) {
        pool_[job.Entry].second = UploadPendingTexture(job.Texture);
        job.Texture.Image = {};
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
