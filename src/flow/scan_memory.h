// Remembered results of the control-flow scans. The program text never changes while a program
// runs, so a scan from the same position with the same inputs always ends at the same place;
// its result is kept here, keyed by everything the scan reads, and forgotten at program load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "expr/variable_store.h"

namespace quillon {

struct FlowState;

// Results keyed by a scan's start position (and the inline-branch flag where it reads it).
using PositionResults = std::unordered_map<int64_t, int32_t>;

// A result that also depends on a loop variable's name.
struct NamedResult {
    std::string name;
    int32_t result = 0;
};
using NamedResults = std::unordered_map<int64_t, NamedResult>;

struct ScanMemory {
    TextMap<int32_t> jump_targets;  // target text -> jump position
    PositionResults if_token;       // statement mark -> position of the IF token
    PositionResults if_then;        // IF token -> last blank before the THEN part
    PositionResults if_else;        // IF token -> last blank before the ELSE part
    NamedResults for_exit;          // FOR separator + variable -> position after its NEXT
    NamedResults next_back;         // NEXT separator + flag + name -> separator before its FOR
    PositionResults while_exit;     // WHILE separator -> position after its WEND
    PositionResults wend_back;      // WEND separator + flag -> separator before its WHILE
    // READ's walk: the byte offset of data item `data_item` in a list of `data_size` bytes.
    int32_t data_item = -1;
    std::size_t data_offset = 0;
    std::size_t data_size = 0;
};

// A scan found nothing (kept as a result too: the same scan finds nothing again).
inline constexpr int32_t kScanNotFound = INT32_MIN;

inline int64_t scan_key(int32_t position, bool flag = false) {
    return (static_cast<int64_t>(position) << 1) | (flag ? 1 : 0);
}

// The result of `scan()` under `key`: remembered when the flow state says so.
template <class Scan>
int32_t remembered(bool remember, PositionResults& results, int64_t key, Scan&& scan) {
    if (!remember) return scan();
    if (auto hit = results.find(key); hit != results.end()) return hit->second;
    int32_t result = scan();
    results.emplace(key, result);
    return result;
}

template <class Scan>
int32_t remembered(bool remember, NamedResults& results, int64_t key, std::string_view name,
                   Scan&& scan) {
    if (!remember) return scan();
    auto hit = results.find(key);
    if (hit != results.end() && hit->second.name == name) return hit->second.result;
    int32_t result = scan();
    results[key] = NamedResult{std::string(name), result};
    return result;
}

// Forgets every remembered result (a new program text).
void forget_scans(FlowState& flow);

}  // namespace quillon
