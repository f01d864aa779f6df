// The glTF reader and writer, set up once for every user: images stay the PNG bytes they were
// handed (the project encodes them itself) and nothing is fetched from outside the file.
#pragma once

#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>
