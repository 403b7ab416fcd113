#pragma once
// The chain as a whole: the array that owns its nodes, its start-up, and the
// two phases of a pass. Any length works; the window builds 41 nodes.

#include <memory>
#include <vector>

#include "model/Spring.h"

namespace chain {

// An array of nodes with an index range first..last, sized once. An element
// that is still empty when it is accessed is filled at that moment with a new
// node, so no access ever meets an empty element. Nodes never move in memory,
// so the neighbour references between them stay valid.
class SpringArray {
 public:
  // Sizes the array to first..last (last >= first - 1; last = first - 1 is empty).
  void ReDim(int first, int last);

  [[nodiscard]] int LBound() const noexcept { return first_; }
  [[nodiscard]] int UBound() const noexcept { return first_ + static_cast<int>(items_.size()) - 1; }
  [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }

  // Throws std::out_of_range outside first..last.
  Spring& operator()(int i);
  // The node at i for a reader: null outside first..last or while the element
  // is still empty. Never fills an element.
  [[nodiscard]] const Spring* Peek(int i) const noexcept;

 private:
  int first_ = 0;
  std::vector<std::unique_ptr<Spring>> items_;
};

// Builds the hanging chain in `springs`: sized to 0..last, every node linked to
// its neighbours, node i at (i * 200 + 200, 2000) with Mass 1 and nextK 1, and
// every rest length taken from the starting distance. Nodes 0 and last are the
// fixed ends. A node whose starting distance cannot be computed keeps rest
// length 0.
void SetUpChain(SpringArray& springs, int last);

// Compute on every node, first index to last.
void ComputePass(SpringArray& springs);
// Move on every node, first index to last. A node whose Move faults costs only
// that node; returns how many faulted.
int MovePass(SpringArray& springs);
// One physics step: the compute phase finishes before the move phase starts,
// so every force of a pass comes from the positions at its start.
inline void PhysicsPass(SpringArray& springs) {
  ComputePass(springs);
  MovePass(springs);
}

// The centre node's index: floor((last - first) / 2), not offset by the first
// index (node 20 of 0..40).
[[nodiscard]] int CentreIndex(const SpringArray& springs) noexcept;

}  // namespace chain
