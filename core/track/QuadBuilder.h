// Turns the loaded grid into ready-to-draw quads: TerrainQuads (one per cell) and GroundBoxCells
// (six faces per box) of the track. No GL is touched; the frame drawing sends the quads later.
// A quad carries the texture number of its entry, or kFallbackTexture for a number that the
// track's texture list (TextureNames) does not reach.
//
// Cell (r, c) has the corners A = (r, c), B = (r + 1, c), C = (r + 1, c + 1), D = (r, c + 1).
// Positions use the corner indices as they are (up to GridToWorld(256) = 8.0); every table lookup
// uses (row mod 256, column mod 256). Light is LightMap byte 0 / 255 as a grey, alpha 1.
//
// Terrain: vertices A, B, C, D when r + c is odd, B, C, D, A when even; the texture coordinate
// slot follows the corner (A 0, B 1, C 2, D 3). Ground boxes (rows and columns 0..254, only where
// the cell's bottom or top height is not 0): all four vertices of a face use the cell's own bottom
// and top, and the slot follows the vertex's place:
//   face 0  A,D sides at x(r)     A bot, A top, D top, D bot
//   face 1  x(r + 1) side         C bot, C top, B top, B bot
//   face 2  z(c + 1) side         D bot, D top, C top, C bot
//   face 3  z(c) side             B bot, B top, A top, A bot
//   face 4  lid                   A top, B top, C top, D top
//   face 5  floor                 D bot, C bot, B bot, A bot
// Texture coordinates come from a 16-row table chosen by the entry's mirrors and rotation, inset
// by about 1/32 on every side (values 0.03123 and 0.96877).
//
// With StadiumFlag 1 only the stadium's rectangle is built (rows StadiumZ +- StadiumSZ div 2,
// columns StadiumX +- StadiumSX div 2; inclusive for terrain, upper bounds exclusive for boxes);
// every other cell is emptied.
#pragma once

#include "core/base/Feedback.h"

struct TTrackData;

void BuildDisplayList(TTrackData& track, TLoadProgress& progress);
