// The demo archive the viewer opens first, and a stress archive for timing.
//
// DEMO.POD holds two tracks: "Dunmere Valley" (VALLEY.SIT: a circuit on a plain between hills and
// snowy peaks, a river with a bridge, raised blocks, mountain backdrops) and "Dunmere Arena"
// (ARENA.SIT: a dirt oval inside a stadium, walls of ground boxes, a city skyline). Each track has
// its level file, the six grid files, a texture list, light map, objects and top-crush trucks;
// the archive also carries every texture (RAW with its ACT palette) and model the tracks name and
// the four sky boxes under the bare names the viewer asks for.
//
// STRESS.POD holds one track with a ground box on every cell, 512 textures of 256 x 256 and about
// a thousand objects.
#pragma once

#include "tools/PodWriter.h"

TPodWriter BuildDemoArchive();
TPodWriter BuildStressArchive();
