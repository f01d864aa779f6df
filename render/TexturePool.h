// uTexturePool: each texture of a track is read and uploaded once, keyed by its name trimmed and
// upper-cased ("ART\ROAD.RAW"); a name that cannot be loaded maps to MissingTexture().
// GL texture names are int32_t; -1 stands for "none".
#pragma once

#include "core/base/TextUtils.h"

#include <cstdint>
#include <string>

struct TGameLoad;

int32_t GetGameTexture(const std::string& name, TGameLoad& load);
int32_t GetFileTexture(const std::string& path, const std::string& key);
int32_t FindTexture(const std::string& key); // -1 when the key is not in the pool
void ClearTextures();                        // deletes the pool's GL textures, keeps MissingTexture
void LoadMissingTexture();                   // ProgramFolder() + "data/missing.tga"
int32_t MissingTexture();                    // 0 when the fallback image could not be loaded
