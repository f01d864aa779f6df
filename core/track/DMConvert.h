// DMConvert: conversions between grid indices, level bytes and world coordinates.
//
//   grid index i (0..255, 256 for the far corner of the last cell) -> world (i - 128) / 16
//   level byte b (0..255)                                          -> world height b / 255
//   camera translation t (the negated eye coordinate)              -> map units (8 - t) * 255 / 16
//   map units m                                                    -> translation 8 - m * 16 / 255
//   world height h                                                 -> level units h * 255
//
// All of them compute in extended precision; every place that turns a camera translation into map
// units or a grid cell goes through WorldToMapUnits, so they all agree on the cell.
//
// The grid spans world -8 .. +7.9375 on x (rows) and z (columns); heights lie in 0..1.
#pragma once

long double GridToWorld(long double index);
long double LevelByteToHeight(long double levelByte);
// t = -GridToWorld(i) gives i * 255 / 256, close enough to i for display and, rounded, for finding
// the cell under the camera.
long double WorldToMapUnits(long double translation);
// The inverse: the translation that puts the camera on map position mapUnits.
long double MapUnitsToWorld(long double mapUnits);
long double HeightToLevelUnits(long double height);
