#pragma once

#include "app/backup_contents.h"
#include "app/backup_items.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace iomira::backup {

// How one tag of a record kind maps to a field: the encoding of its data and an accessor
// pair; `element` names the port or channel of an array field.
template <typename Record> struct ItemRule {
    uint16_t tag = 0;
    ItemEncoding encoding = ItemEncoding::Int;
    int element = 0;
    ItemValue (*get)(const Record&, int element) = nullptr;
    void (*set)(Record&, int element, const ItemValue&) = nullptr;
    bool written = true; // false: a tag older files used, read but never written
};

// The rules of one record kind in the order they are written, found by tag when read.
template <typename Record> class TagTable {
  public:
    explicit TagTable(std::vector<ItemRule<Record>> rules) : rules_(std::move(rules)) {
        for (size_t n = 0; n < rules_.size(); ++n)
            byTag_.emplace(rules_[n].tag, n);
    }
    const std::vector<ItemRule<Record>>& rules() const { return rules_; }
    const ItemRule<Record>* find(uint16_t tag) const {
        const auto found = byTag_.find(tag);
        return found == byTag_.end() ? nullptr : &rules_[found->second];
    }

  private:
    std::vector<ItemRule<Record>> rules_;
    std::unordered_map<uint16_t, size_t> byTag_;
};

const TagTable<CROOTData>& groupTags();
const TagTable<CQUORVISData>& controllerTags();
const TagTable<CMailAccount>& mailAccountTags();
const TagTable<CScheduleData>& emailScheduleTags();
const TagTable<CScheduleData>& messageScheduleTags();
const TagTable<BackupSwitches>& switchTags();
const TagTable<CSound>& soundTags();

} // namespace iomira::backup
