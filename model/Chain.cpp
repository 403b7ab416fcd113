#include "model/Chain.h"

#include <cmath>
#include <stdexcept>

namespace chain {

void SpringArray::ReDim(int first, int last) {
  if (last < first - 1) throw std::invalid_argument("SpringArray: last index below first - 1");
  first_ = first;
  items_.clear();
  items_.resize(static_cast<std::size_t>(static_cast<long long>(last) - first + 1));
}

Spring& SpringArray::operator()(int i) {
  const long offset = static_cast<long>(i) - first_;
  if (offset < 0 || offset >= static_cast<long>(items_.size())) {
    throw std::out_of_range("SpringArray: index out of range");
  }
  std::unique_ptr<Spring>& slot = items_[static_cast<std::size_t>(offset)];
  if (!slot) slot = std::make_unique<Spring>();
  return *slot;
}

const Spring* SpringArray::Peek(int i) const noexcept {
  const long offset = static_cast<long>(i) - first_;
  if (offset < 0 || offset >= static_cast<long>(items_.size())) return nullptr;
  return items_[static_cast<std::size_t>(offset)].get();
}

void SetUpChain(SpringArray& springs, int last) {
  springs.ReDim(0, last);
  const int first = springs.LBound();
  if (last > first) {  // the two ends, then the inner nodes
    springs(first).SetNext(springs(first + 1));
    springs(last).SetPrev(springs(last - 1));
    for (int i = first + 1; i <= last - 1; ++i) {
      springs(i).SetNext(springs(i + 1));
      springs(i).SetPrev(springs(i - 1));
    }
  }
  for (int i = first; i <= last; ++i) {
    Spring& s = springs(i);
    s.xPos = i * 200 + 200;  // exact in integers, then stored as a double
    s.yPos = 2000.0;
    s.Mass = 1.0;
    s.nextK = 1.0;
  }
  // Only after every position is written: node i's distance reads node i + 1.
  for (int i = first; i <= last; ++i) {
    Spring& s = springs(i);
    if (const std::optional<double> d = s.distNext()) s.nextLength = *d;
  }
}

void ComputePass(SpringArray& springs) {
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) springs(i).Compute();
}

int MovePass(SpringArray& springs) {
  int faults = 0;
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) {
    if (!springs(i).Move()) ++faults;
  }
  return faults;
}

int CentreIndex(const SpringArray& springs) noexcept {
  const int d = springs.UBound() - springs.LBound();
  return static_cast<int>(std::floor(static_cast<double>(d) / 2.0));
}

}  // namespace chain
