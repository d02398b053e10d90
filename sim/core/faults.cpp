// Matching calls against fault rules: after, times, node and errorText.
#include "sim/core/faults.h"

#include <cstdio>

namespace sim {

FaultList::FaultList(std::vector<FaultSpec> specs) {
    for (FaultSpec& spec : specs)
        m_rules.push_back({std::move(spec), 0});
}

std::optional<FaultHit> FaultList::Check(Operation operation, const std::string& node) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<FaultHit> hit;
    for (Rule& rule : m_rules) {
        if (rule.spec.call != operation || (rule.spec.node && *rule.spec.node != node))
            continue;
        ++rule.seen;
        const bool due =
            rule.seen > rule.spec.after &&
            (rule.spec.times < 0 || rule.seen - rule.spec.after <= static_cast<uint64_t>(rule.spec.times));
        if (!due || hit)
            continue;
        std::string text;
        if (rule.spec.errorText) {
            text = *rule.spec.errorText;
        } else {
            char status[16];
            std::snprintf(status, sizeof status, "0x%X", static_cast<unsigned>(rule.spec.status));
            text = std::string(OperationName(operation)) + ": injected fault, status " + status;
        }
        hit = FaultHit{rule.spec.status, std::move(text)};
    }
    return hit;
}

} // namespace sim
