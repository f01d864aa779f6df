#define TINYGLTF_IMPLEMENTATION
#include "core/export/TinyGltf.h"
