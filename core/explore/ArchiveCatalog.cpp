#include "core/explore/ArchiveCatalog.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/explore/EntryBytes.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/PodFile.h"

#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace {

constexpr int64_t kHeightGridBytes = 65536;
constexpr int64_t kLightMapBytes = 458752;
constexpr int64_t kTextureIndexBytes = 131072;
constexpr int64_t kBoxTextureIndexBytes = 786432;
constexpr int32_t kAnimationControlKind = 32;

std::string Extension(const std::string& name) {
    const size_t dot = name.find_last_of(".\\");
    if (dot == std::string::npos || name[dot] != '.') {
        return "";
    }
    return UpperCase(name.substr(dot + 1));
}

// Tabs, line ends, the DOS end-of-file mark and printable Windows-1252 characters only.
bool LooksLikeText(const std::string& head) {
    if (head.empty()) {
        return false;
    }
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 && byte != '\t' && byte != '\r' && byte != '\n' && byte != 0x1A) {
            return false;
        }
    }
    return true;
}

// A count on the first line and a name with an ending on the next: what a texture list holds.
bool LooksLikeTextureList(const std::string& head) {
    const size_t firstEnd = head.find_first_of("\r\n");
    if (firstEnd == std::string::npos || !TryStrToInt(Trim(head.substr(0, firstEnd)))) {
        return false;
    }
    const size_t second = head.find_first_not_of("\r\n", firstEnd);
    if (second == std::string::npos) {
        return false;
    }
    const std::string name = Trim(head.substr(second, head.find_first_of("\r\n", second) - second));
    return name.find('.') != std::string::npos;
}

int32_t FirstWord(const std::string& head) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4 && i < head.size(); ++i) {
        word |= static_cast<uint32_t>(static_cast<unsigned char>(head[i])) << (8 * i);
    }
    return static_cast<int32_t>(word);
}

TEntryKind KindBySize(int64_t size) {
    switch (size) {
    case kHeightGridBytes:
        return TEntryKind::HeightGrid;
    case kLightMapBytes:
        return TEntryKind::LightMap;
    case kTextureIndexBytes:
        return TEntryKind::TextureIndexGrid;
    case kBoxTextureIndexBytes:
        return TEntryKind::BoxTextureIndexGrid;
    default:
        return TEntryKind::Unknown;
    }
}

std::string WithLastChar(std::string name, char last) {
    if (!name.empty()) {
        name.back() = last;
    }
    return name;
}

} // namespace

std::string EntryKindText(TEntryKind kind) {
    switch (kind) {
    case TEntryKind::TextureRaw:
        return "texture RAW";
    case TEntryKind::TextureBmp:
        return "texture BMP";
    case TEntryKind::TextureTga:
        return "texture TGA";
    case TEntryKind::Palette:
        return "palette ACT";
    case TEntryKind::Model:
        return "model BIN";
    case TEntryKind::AnimationControl:
        return "animation control BIN";
    case TEntryKind::TrackDescription:
        return "track description SIT";
    case TEntryKind::Level:
        return "level LVL";
    case TEntryKind::HeightGrid:
        return "height grid";
    case TEntryKind::LightMap:
        return "light map";
    case TEntryKind::TextureIndexGrid:
        return "texture index grid";
    case TEntryKind::BoxTextureIndexGrid:
        return "box texture index grid";
    case TEntryKind::TextureList:
        return "texture list";
    case TEntryKind::Text:
        return "text";
    case TEntryKind::Unknown:
        break;
    }
    return "unknown";
}

TEntryKind DetectEntryKind(const std::string& name, const std::string& head, int64_t size) {
    const std::string extension = Extension(name);
    if (extension == "RAW" && size > 0) {
        return TEntryKind::TextureRaw;
    }
    if (extension == "BMP" && head.rfind("BM", 0) == 0) {
        return TEntryKind::TextureBmp;
    }
    if (extension == "TGA" && head.size() >= 18 && head[1] == 0 && head[2] == 2) {
        return TEntryKind::TextureTga;
    }
    if (extension == "ACT" && size >= 768) {
        return TEntryKind::Palette;
    }
    if (extension == "BIN" && head.size() >= 4) {
        return FirstWord(head) == kAnimationControlKind ? TEntryKind::AnimationControl
                                                        : TEntryKind::Model;
    }
    if (extension == "SIT" && LooksLikeText(head)) {
        return TEntryKind::TrackDescription;
    }
    if (extension == "LVL" && LooksLikeText(head)) {
        return TEntryKind::Level;
    }
    if (LooksLikeText(head)) {
        return LooksLikeTextureList(head) ? TEntryKind::TextureList : TEntryKind::Text;
    }
    return KindBySize(size);
}

std::string FolderPart(const std::string& name) {
    const size_t slash = name.rfind('\\');
    return slash == std::string::npos ? "" : name.substr(0, slash + 1);
}

std::vector<TLevelReference> LevelReferences(const TPodFile& pod, const std::string& lvlName) {
    TGameFile file;
    if (!pod.OpenEntry(file, lvlName)) {
        return {};
    }
    std::vector<std::string> lines;
    for (std::string line; lines.size() < 17 && !(line = pod.ReadLine(file, lvlName)).empty();) {
        lines.push_back(line);
    }
    const auto line = [&](size_t number) {
        return number <= lines.size() ? "DATA\\" + lines[number - 1] : std::string();
    };
    std::vector<TLevelReference> references;
    const auto add = [&](const std::string& name, TEntryKind kind) {
        if (!name.empty()) {
            references.push_back({name, kind});
        }
    };
    const std::string altitude = line(3);
    const std::string texIndex = line(4);
    add(altitude, TEntryKind::HeightGrid);
    add(altitude.empty() ? "" : WithLastChar(altitude, '0'), TEntryKind::HeightGrid);
    add(altitude.empty() ? "" : WithLastChar(altitude, '1'), TEntryKind::HeightGrid);
    add(texIndex, TEntryKind::TextureIndexGrid);
    add(texIndex.empty() ? "" : WithLastChar(texIndex, '0'), TEntryKind::BoxTextureIndexGrid);
    add(line(6), TEntryKind::TextureList);
    add(line(17), TEntryKind::LightMap);
    return references;
}

std::vector<TCatalogEntry> CatalogArchive(const TPodFile& pod) {
    std::unordered_map<std::string, TEntryKind> named; // upper-cased name -> kind a level gives
    for (const TPodEntry& entry : pod.Entries()) {
        if (Extension(entry.Name) == "LVL") {
            for (const TLevelReference& reference : LevelReferences(pod, entry.Name)) {
                named.emplace(UpperCase(reference.Name), reference.Kind);
            }
        }
    }
    std::vector<TCatalogEntry> catalog;
    catalog.reserve(pod.Entries().size());
    TGameFile file;
    const bool opened = file.Open(pod.ArchivePath());
    for (size_t i = 0; i < pod.Entries().size(); ++i) {
        const TPodEntry& entry = pod.Entries()[i];
        TCatalogEntry item{static_cast<int>(i), entry.Name, FolderPart(entry.Name), entry.Size};
        const auto level = named.find(UpperCase(entry.Name));
        if (level != named.end()) {
            item.Kind = level->second;
        } else {
            std::string head;
            if (opened) {
                head = ReadEntryHead(file, entry, kKindProbeBytes);
            }
            item.Kind = DetectEntryKind(entry.Name, head, entry.Size);
        }
        catalog.push_back(std::move(item));
    }
    return catalog;
}

TExtractPlan PlanExtraction(const TPodFile& pod, const std::vector<int>& indices,
                            const std::string& folder) {
    namespace fs = std::filesystem;
    TExtractPlan plan;
    const fs::path root(folder);
    for (const int index : indices) {
        if (index < 0 || static_cast<size_t>(index) >= pod.Entries().size()) {
            continue;
        }
        const std::string& name = pod.Entries()[static_cast<size_t>(index)].Name;
        std::string relative = name;
        for (char& c : relative) {
            if (c == '\\') {
                c = '/';
            }
        }
        // A directory name is the archive's own text: it must not climb out of the chosen folder.
        const fs::path part = fs::path(relative).lexically_normal();
        if (relative.empty() || part.is_absolute() || part.empty() || *part.begin() == ".." ||
            relative.back() == '/') {
            plan.Refused.push_back(name);
            continue;
        }
        const std::string path = (root / part).string();
        std::error_code error;
        // Replacing the archive itself would destroy what the remaining entries are read from.
        if (fs::equivalent(path, pod.ArchivePath(), error)) {
            plan.Refused.push_back(name);
            continue;
        }
        if (fs::exists(path, error)) {
            plan.Conflicts.push_back(path);
        }
        plan.Targets.push_back({index, path});
    }
    return plan;
}

int ExtractEntries(const TPodFile& pod, const TExtractPlan& plan, bool overwrite) {
    namespace fs = std::filesystem;
    TGameFile file;
    if (!file.Open(pod.ArchivePath())) {
        throw EInOutError("Cannot read " + pod.ArchivePath());
    }
    int written = 0;
    for (const TExtractTarget& target : plan.Targets) {
        std::error_code error;
        if (!overwrite && fs::exists(target.Path, error)) {
            continue;
        }
        const TPodEntry& entry = pod.Entries()[static_cast<size_t>(target.Index)];
        const std::string bytes = ReadEntryBytes(file, entry);
        fs::create_directories(fs::path(target.Path).parent_path(), error);
        std::ofstream out(target.Path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            RaiseCannotWrite(target.Path);
        }
        ++written;
    }
    return written;
}
