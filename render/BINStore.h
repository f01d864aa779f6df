// uBINStore: every loaded model once, under its name trimmed (codes 0..32) and upper-cased.
#pragma once

#include <memory>
#include <string>

class TBINModel;

TBINModel* FindBINModel(const std::string& name); // nullptr when absent
void StoreBINModel(std::unique_ptr<TBINModel> model, const std::string& name);
void ClearBINModels();
