#include "render/ArchiveUsage.h"

#include "core/base/Logging.h"
#include "core/session/TrackSession.h"
#include "core/vfs/AssetLog.h"
#include "core/vfs/PodFile.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/MutedMessages.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"

#include <algorithm>
#include <unordered_map>

namespace {

void AddTrack(std::vector<int>& tracks, int track) {
    if (std::find(tracks.begin(), tracks.end(), track) == tracks.end()) {
        tracks.push_back(track);
    }
}

} // namespace

TArchiveUsage ScanArchiveUsage(const TPodFile& pod, const std::string& iniFileName,
                               const std::optional<TStringList>& searchFolders,
                               const TUsageProgress& progress) {
    const TLogMute quiet;
    const TMutedMessages noBoxes;
    THeadlessGLContext context(16, 16);
    TArchiveUsage usage;
    usage.EntryTracks.resize(pod.Entries().size());
    {
        TRenderContext render;
        TTrackSession session(iniFileName, searchFolders);
        session.UseArchive(pod);
        TRenderTrackLoader loader(render);
        InitGLState();
        render.LoadMissingTexture();
        for (const std::string& line : pod.SitEntries()) {
            usage.Tracks.push_back(NamePart(line));
        }
        std::unordered_map<std::string, size_t> missingOfName; // upper-cased name
        for (size_t t = 0; t < usage.Tracks.size(); ++t) {
            const int track = static_cast<int>(t);
            if (progress) {
                progress(track, static_cast<int>(usage.Tracks.size()), usage.Tracks[t]);
            }
            TQuietProgress loadProgress;
            try {
                session.OpenTrack(usage.Tracks[t], loadProgress, loader);
            } catch (const std::exception& e) {
                // What the load asked for before it failed is still used by this track.
                usage.Failures.push_back(usage.Tracks[t] + ": " + e.what());
            }
            for (const TAssetRecord& record : session.Assets().Records()) {
                if (record.Place == TAssetPlace::Archive) {
                    const int entry = pod.FindEntry(record.Name);
                    if (entry >= 0) {
                        AddTrack(usage.EntryTracks[static_cast<size_t>(entry)], track);
                    }
                } else if (record.Place == TAssetPlace::Missing) {
                    const auto [known, added] =
                        missingOfName.emplace(UpperCase(record.Name), usage.Missing.size());
                    if (added) {
                        usage.Missing.push_back({record.Name, {}});
                    }
                    AddTrack(usage.Missing[known->second].Tracks, track);
                }
            }
        }
        if (progress) {
            progress(static_cast<int>(usage.Tracks.size()), static_cast<int>(usage.Tracks.size()),
                     "");
        }
    }
    return usage;
}
