#include "render/TexturePool.h"

#include "core/base/Errors.h"
#include "core/base/Feedback.h"
#include "core/base/ProgramFolder.h"
#include "render/Textures.h"

#include <GL/gl.h>
#include <utility>
#include <vector>

namespace {

// Pairs rather than KEY=ID text lines, so a key can never be cut at an "=" of its own.
std::vector<std::pair<std::string, int32_t>>& Pool() {
    static std::vector<std::pair<std::string, int32_t>> pool;
    return pool;
}

int32_t missingTexture = 0;

std::string NormalKey(const std::string& name) {
    return UpperCase(Trim(name));
}

const int32_t* Lookup(const std::string& key) {
    for (const auto& [stored, id] : Pool()) {
        if (SameText(stored, key)) {
            return &id;
        }
    }
    return nullptr;
}

// A name that cannot be loaded is stored with the fallback, so it is tried once per track.
int32_t Remember(const std::string& key, bool loaded, int32_t texture) {
    const int32_t id = loaded ? texture : missingTexture;
    Pool().emplace_back(key, id);
    return id;
}

} // namespace

int32_t GetGameTexture(const std::string& name, TGameLoad& load) {
    const std::string key = NormalKey(name);
    if (const int32_t* known = Lookup(key)) {
        return *known;
    }
    int32_t texture = 0;
    const bool loaded = LoadGameTexture(name, load, texture);
    return Remember(key, loaded, texture);
}

int32_t GetFileTexture(const std::string& path, const std::string& key) {
    const std::string normal = NormalKey(key);
    if (const int32_t* known = Lookup(normal)) {
        return *known;
    }
    int32_t texture = 0;
    const bool loaded = LoadTextureFile(path, texture);
    return Remember(normal, loaded, texture);
}

int32_t FindTexture(const std::string& key) {
    const int32_t* known = Lookup(NormalKey(key));
    return known != nullptr ? *known : -1;
}

void ClearTextures() {
    std::vector<GLuint> names;
    for (const auto& entry : Pool()) {
        if (entry.second != missingTexture) {
            names.push_back(static_cast<GLuint>(entry.second));
        }
    }
    if (!names.empty()) {
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    }
    Pool().clear();
}

void LoadMissingTexture() {
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
    missingTexture = texture;
}

int32_t MissingTexture() {
    return missingTexture;
}

int32_t TTrackTextures::ForQuad(int32_t number, int32_t fallbackTexture) const {
    if (number < 0 || static_cast<size_t>(number) >= names_.size()) {
        return fallbackTexture;
    }
    return names_[static_cast<size_t>(number)];
}

TTrackTextures& TrackTextures() {
    static TTrackTextures table;
    return table;
}
