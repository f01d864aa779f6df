// The POD archive reader: the input is the archive. Every entry is looked up, opened and read to
// its last line, as the loaders do.
#include "core/vfs/PodFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.POD", data, size);
    RunReader([&] {
        const TPodFile pod(path);
        for (const TPodEntry& entry : pod.Entries()) {
            const int index = pod.FindEntry(entry.Name);
            Require(index >= 0 && SameText(pod.Entries()[index].Name, entry.Name),
                    "every directory name finds an entry of that name");
            pod.GetEntryEnd(entry.Name);
            TGameFile file;
            if (pod.OpenEntry(file, entry.Name)) {
                while (!pod.ReadLine(file, entry.Name).empty()) {
                }
            }
        }
    });
    return 0;
}
