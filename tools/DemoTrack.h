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
//
// DENSE.POD holds one track whose frames are made of objects: plain terrain without ground boxes,
// and towers of up to 2000 faces in bands of opaque and blended textures, a third of them around
// the start grid, every 25th object a checkpoint gate.
#pragma once

#include "tools/PodWriter.h"

TPodWriter BuildDemoArchive();
TPodWriter BuildStressArchive();
// objects placed objects; towers of at most mostFaces faces (at least 160).
TPodWriter BuildDenseArchive(int objects, int mostFaces);
