#pragma once
// The last thing the user did to the chain: it explains a chain that moves.
// Before any, a moving chain is still falling from its start.

namespace chain {

enum class Disturbance { kNone, kNudgeLeft, kNudgeRight, kMassChange };

}  // namespace chain
