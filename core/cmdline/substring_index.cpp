#include "core/cmdline/substring_index.h"

namespace tamsel {

TSubstringIndex::TSubstringIndex() { NewState(0, kNone); }

std::int32_t TSubstringIndex::NewState(std::int32_t length, std::int32_t link) {
  states_.push_back({length, link, kNone});
  return static_cast<std::int32_t>(states_.size() - 1);
}

void TSubstringIndex::AddEdge(std::int32_t from, unsigned char byte, std::int32_t to) {
  std::int32_t& first = State(from).FirstEdge;
  edges_.push_back({to, first, byte});
  first = static_cast<std::int32_t>(edges_.size() - 1);
}

std::int32_t TSubstringIndex::FindEdge(std::int32_t from, unsigned char byte) const {
  std::int32_t edge = State(from).FirstEdge;
  while (edge != kNone && Edge(edge).Byte != byte) {
    edge = Edge(edge).Next;
  }
  return edge;
}

// A copy of state with the same edges and link but a shorter Length.
std::int32_t TSubstringIndex::CloneState(std::int32_t state, std::int32_t length) {
  const std::int32_t clone = NewState(length, State(state).Link);
  for (std::int32_t edge = State(state).FirstEdge; edge != kNone; edge = Edge(edge).Next) {
    const TEdge copy = Edge(edge);
    AddEdge(clone, copy.Byte, copy.Target);
  }
  return clone;
}

// The textbook online construction: every suffix of the old text that cannot
// be followed by byte yet gets an edge to the new whole-text state; where a
// longer suffix already can, the state reached is split when it also stands
// for longer substrings that do not end here.
void TSubstringIndex::Extend(unsigned char byte) {
  const std::int32_t grown = NewState(State(whole_).Length + 1, kNone);
  std::int32_t suffix = whole_;
  whole_ = grown;
  while (suffix != kNone && FindEdge(suffix, byte) == kNone) {
    AddEdge(suffix, byte, grown);
    suffix = State(suffix).Link;
  }
  if (suffix == kNone) {
    State(grown).Link = 0;
    return;
  }
  const std::int32_t next = Edge(FindEdge(suffix, byte)).Target;
  const std::int32_t length = State(suffix).Length + 1;
  if (State(next).Length == length) {
    State(grown).Link = next;
    return;
  }
  const std::int32_t clone = CloneState(next, length);
  State(next).Link = clone;
  State(grown).Link = clone;
  for (; suffix != kNone; suffix = State(suffix).Link) {
    const std::int32_t edge = FindEdge(suffix, byte);
    if (edge == kNone || Edge(edge).Target != next) break;
    Edge(edge).Target = clone;
  }
}

void TSubstringIndex::Append(std::string_view text) {
  for (const char c : text) Extend(static_cast<unsigned char>(c));
}

bool TSubstringIndex::Contains(std::string_view text) const {
  std::int32_t state = 0;
  for (const char c : text) {
    const std::int32_t edge = FindEdge(state, static_cast<unsigned char>(c));
    if (edge == kNone) return false;
    state = Edge(edge).Target;
  }
  return true;
}

}  // namespace tamsel
