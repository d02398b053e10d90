// Injected faults: rules from a description that make matching calls fail, each with
// its own count of the calls it has seen.
#pragma once

#include "sim/core/description.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct FaultHit {
    std::optional<PvxStatus> status; // none: the call runs, late
    std::string errorText;
    uint32_t delayMs = 0;
};

class FaultList {
public:
    explicit FaultList(std::vector<FaultSpec> specs);

    // Counts the call for every rule it matches (same operation, and the same node
    // when the rule names one); the first rule whose turn to fail it is gives the hit.
    std::optional<FaultHit> Check(camlib::Operation operation, const std::string& node);

private:
    struct Rule {
        FaultSpec desc;
        uint64_t seen = 0;
    };
    std::mutex m_mutex;
    std::vector<Rule> m_rules;
};

} // namespace sim
