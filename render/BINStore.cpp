#include "render/BINStore.h"

#include "core/base/TextUtils.h"

namespace {

std::string NormalName(const std::string& name) {
    return UpperCase(Trim(name));
}

} // namespace

TBINModel* TBINStore::FindBINModel(const std::string& name) const {
    const std::string key = NormalName(name);
    for (const auto& [stored, model] : models_) {
        if (stored == key) {
            return model.get();
        }
    }
    return nullptr;
}

void TBINStore::StoreBINModel(std::unique_ptr<TBINModel> model, const std::string& name) {
    const std::string key = NormalName(name);
    for (auto& [stored, held] : models_) {
        if (stored == key) {
            held = std::move(model);
            return;
        }
    }
    models_.emplace_back(key, std::move(model));
}

void TBINStore::ClearBINModels() {
    models_.clear();
}
