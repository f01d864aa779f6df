#include "render/TexturePool.h"

#include "core/base/Errors.h"
#include "core/base/Feedback.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "render/Textures.h"

#include <GL/gl.h>

namespace {

std::string NormalKey(const std::string& name) {
    return UpperCase(Trim(name));
}

} // namespace

TTexturePool::~TTexturePool() {
    ClearTextures();
}

const int32_t* TTexturePool::Lookup(const std::string& key) const {
    const auto found = pool_.find(key);
    return found == pool_.end() ? nullptr : &found->second;
}

// A name that cannot be loaded is stored with the fallback, so it is tried once per track.
int32_t TTexturePool::Remember(const std::string& key, bool loaded, int32_t texture) {
    const int32_t id = loaded ? texture : missingTexture_;
    pool_.emplace(key, id);
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
