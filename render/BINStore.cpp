#include "render/BINStore.h"

#include "core/base/TextUtils.h"
#include "render/BINModel.h"

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, std::unique_ptr<TBINModel>>>& Store() {
    static std::vector<std::pair<std::string, std::unique_ptr<TBINModel>>> store;
    return store;
}

std::string NormalName(const std::string& name) {
    return UpperCase(Trim(name));
}

} // namespace

TBINModel* FindBINModel(const std::string& name) {
    const std::string key = NormalName(name);
    for (const auto& [stored, model] : Store()) {
        if (stored == key) {
            return model.get();
        }
    }
    return nullptr;
}

void StoreBINModel(std::unique_ptr<TBINModel> model, const std::string& name) {
    const std::string key = NormalName(name);
    for (auto& [stored, held] : Store()) {
        if (stored == key) {
            held = std::move(model);
            return;
        }
    }
    Store().emplace_back(key, std::move(model));
}

void ClearBINModels() {
    Store().clear();
}
