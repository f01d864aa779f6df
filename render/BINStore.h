// uBINStore: every loaded model once, under its name trimmed (codes 0..32) and upper-cased.
// Lookup is a linear search in the order of storing; a track has few distinct models.
#pragma once

#include "render/BINModel.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TBINStore {
public:
    TBINModel* FindBINModel(const std::string& name) const; // nullptr when absent
    // Replaces (and frees) a model stored under the same key.
    void StoreBINModel(std::unique_ptr<TBINModel> model, const std::string& name);
    // Frees every model, and with it its display list.
    void ClearBINModels();

private:
    std::vector<std::pair<std::string, std::unique_ptr<TBINModel>>> models_;
};
