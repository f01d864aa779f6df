// The viewer's own files beside the program, written into a program folder:
//   data/metalcr2.act                 default palette for textures without one
//   data/missing.tga                  fallback texture for names that cannot be loaded
//   data/RIPPL100.RAW, RIPPL100.ACT   water ripples
//   data/DMGLCHK.BIN                  checkpoint marker model, found by the file finder
//   data/DMGLCHK.RAW, DMGLCHK.ACT     its texture, found by file name when an archive is open
//   ART/DMGLCHK.RAW, ART/DMGLCHK.ACT  the same texture where models look without an archive
#pragma once

#include <string>
#include <vector>

// programFolder ends in "/". Returns the paths written.
std::vector<std::string> WriteViewerDataFiles(const std::string& programFolder);
