// The level file and the binary grid files it names.
//
// Level file (text, read with ReadLine: blank lines do not count, lines are not trimmed):
//   line 3   altitude file           AltitudeFileName    = "DATA\" + line
//   line 4   texture index file      TexIndexFileName    = "DATA\" + line
//   line 6   texture list file       TextureListFileName = "DATA\" + line
//   line 17  light map file          LightMapFileName    = "DATA\" + line
//   lines 1, 2, 5, 7..16 are not used; from line 18 on the first line that is "!WATERHEIGHT"
//   (trimmed, any case) is followed by the water height in level units: WaterHeight = value / 1024,
//   0 when the value is not a number or the key is absent.
//
// Derived names (last character replaced): ground box bottom = altitude name with "0", ground box
// top = altitude name with "1", ground box texture index = texture index name with "0".
//
// Grid files: no header, row-major (row 0 first, column 0 first within a row).
//   altitude, ground box bottom, ground box top   65536 bytes   1 height byte per grid point
//   light map                                     458752 bytes  7 bytes per point, byte 0 = light
//   texture index                                 131072 bytes  1 TTexEntry (2 bytes) per cell
//   ground box texture index                      786432 bytes  6 TTexEntry per cell (faces 0..5)
//
// A grid file shorter than its size raises EInOutError "Versuch hinter dem Dateiende zu lesen";
// nothing past the entry (or loose file) is ever taken for grid data.
#pragma once

#include "core/base/Feedback.h"
#include "core/track/TrackData.h"
#include "core/vfs/GameFile.h"

#include <cstdint>
#include <string>

class TGameFiles;
class TPodFile;
struct TGameLoad;

// Action "Parsing LVL file" with its two sub-actions; fills the four file names and WaterHeight
// of track. A level file missing from the archive raises EInOutError.
void ReadLevelFile(TTrackData& track, const TPodFile& pod, const std::string& lvlEntryName,
                   TLoadProgress& progress);

std::string GroundBoxBottomFileName(const std::string& altitudeFileName);
std::string GroundBoxTopFileName(const std::string& altitudeFileName);
std::string GroundBoxTexIndexFileName(const std::string& texIndexFileName);

// Opens an entry of the track's own archive; EInOutError when it is not there. Returns its size.
int64_t OpenTrackEntry(const TPodFile& pod, TGameFile& file, const std::string& entryName);

// Reads a height file from the track's archive into table, one progress step per row (range set
// to 0..256 here).
void ReadHeightFile(const TPodFile& pod, const std::string& entryName,
                    TVertex3f (&table)[kGridSize][kGridSize], TLoadProgress& progress);

// Block reads from a file positioned at the data; available is what the caller may read there
// (the entry size, or the finder's answer for a loose file).
void ReadLightMap(TGameFile& file, int64_t available, uint8_t (&lightMap)[kGridSize][kGridSize][7]);
void ReadTerrainTexIndex(TGameFile& file, int64_t available,
                         TTexEntry (&table)[kGridSize][kGridSize]);
void ReadGroundBoxTexIndex(TGameFile& file, int64_t available,
                           TTexEntry (&table)[kGridSize][kGridSize][6]);

// Sub-action "Terrain lighting" (range 0..256, never stepped): LightMap of track from
// LightMapFileName through the load's game files. When it is nowhere, the load is warned
// "Could not load LightMap "NAME"; using uniform terrain lighting." and every light byte is 255.
void ReadLightMapOrWarn(TTrackData& track, TGameLoad& load, TLoadProgress& progress);
// Sub-actions "Terrain texture index" and "Ground box texture index" (range 0..256 each): the two
// texture index files of track from the track's own archive.
void ReadTextureIndexes(TTrackData& track, const TPodFile& pod, TLoadProgress& progress);
// The names of a texture list (archive first, then finder): the first line gives the count (0 when
// it is not an integer), then one name per line up to the end of the file that was found. Raises
// EDunmereError "LoadTrack: Unable to find file "NAME"" when the list is nowhere.
TStringList ReadTextureList(TGameFiles& files, const std::string& listFileName);

// TerrainInGroundBox of track: a cell's four terrain corners (the last row and column wrap
// to 0) all lie within the bottom and top of the cell's own ground box. One step per row, range
// set to 0..256 here.
void MarkTerrainInGroundBoxes(TTrackData& track, TLoadProgress& progress);
