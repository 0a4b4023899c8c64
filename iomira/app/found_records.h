#pragma once

#include "app/found_rows.h"
#include "core/quorvis_data.h"

#include <optional>
#include <vector>

struct lib_env;
struct tkb11_record;

namespace iomira {

// What the three libraries found, as the search page holds it when rows are chosen.
struct FoundResults {
    const std::vector<lib_env>* nexoltLib = nullptr;
    const std::vector<tkb11_record>* tkb11Lib = nullptr;
};

// The controller record a chosen row describes, in group `rootId`; none when the row's
// controller cannot be read or its product is not one the program registers.
std::optional<CQUORVISData> recordFromRow(const FoundRow& row, const FoundResults& results,
                                          int rootId);

// The records of one library's kind.
std::optional<CQUORVISData> recordFromNexoltLib(const QString& product, const lib_env& env);
CQUORVISData recordFromTkb11(const tkb11_record& r);
std::optional<CQUORVISData> recordFromKestrel(const QString& product, int index);

} // namespace iomira
