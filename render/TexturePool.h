// uTexturePool: each texture of a track is read and uploaded once, keyed by its name trimmed and
// upper-cased ("ART\ROAD.RAW"); a name that cannot be loaded maps to MissingTexture().
// GL texture names are int32_t; -1 stands for "none".
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class TLoadProgress;
struct TGameLoad;

class TTexturePool {
public:
    TTexturePool() = default;
    // Deletes the pool's GL textures like ClearTextures, so the owner destroys it while its GL
    // context is current.
    ~TTexturePool();
    TTexturePool(const TTexturePool&) = delete;
    TTexturePool& operator=(const TTexturePool&) = delete;

    int32_t GetGameTexture(const std::string& name, TGameLoad& load);
    // GetGameTexture("ART\" + name) for every name of a track's texture list, with the same log
    // lines, warnings, messages and GL texture names as one call after the other, each name shown
    // as the progress sub-action and stepped; the colouring of the images runs on a few threads
    // and the uploads follow in list order. A name whose load raised gets 0 (the error is
    // swallowed, the rest of the list still loads).
    std::vector<int32_t> GetTextureList(const std::vector<std::string>& names, TGameLoad& load,
                                        TLoadProgress& progress);
    int32_t GetFileTexture(const std::string& path, const std::string& key);
    int32_t FindTexture(const std::string& key) const; // -1 when the key is not in the pool
    void ClearTextures();      // deletes the pool's GL textures, keeps MissingTexture
    void LoadMissingTexture(); // ProgramFolder() + "data/missing.tga"
    int32_t MissingTexture() const { return missingTexture_; } // 0 when it could not be loaded
    // Draws with another pool's fallback texture, which neither pool deletes, instead of loading
    // one of its own.
    void ShareMissingTexture(const TTexturePool& from) { missingTexture_ = from.missingTexture_; }
    // Every key with its GL name, in the order they were asked for.
    const std::vector<std::pair<std::string, int32_t>>& Entries() const { return pool_; }

private:
    const int32_t* Lookup(const std::string& key) const;
    // The pool entry of key, or the entry count when it is not there.
    size_t IndexOf(const std::string& key) const;
    void Add(const std::string& key, int32_t texture);
    int32_t Remember(const std::string& key, bool loaded, int32_t texture);

    // Pairs rather than KEY=ID text lines, so a key can never be cut at an "=" of its own.
    std::vector<std::pair<std::string, int32_t>> pool_;
    // The entry of every upper-cased key: a track's list and its models' faces ask for hundreds.
    std::unordered_map<std::string, size_t> entryOfKey_;
    int32_t missingTexture_ = 0;
};

// The GL textures of the loaded track's texture list, by texture number, filled by the track
// loader in list order (0 for a texture whose load raised). The prepared quads of the track data
// carry texture numbers; drawing asks here for the GL name to bind.
class TTrackTextures {
public:
    void Assign(size_t count) { names_.assign(count, 0); }
    void Set(size_t number, int32_t texture) { names_[number] = texture; }
    size_t Count() const { return names_.size(); }
    int32_t At(size_t number) const { return names_[number]; }
    // The GL name a quad binds: fallbackTexture for kFallbackTexture and for any number the list
    // does not reach.
    int32_t ForQuad(int32_t number, int32_t fallbackTexture) const;

private:
    std::vector<int32_t> names_;
};
