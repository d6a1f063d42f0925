#include "core/cmdline/substring_index.h"

namespace tamsel {

TSubstringIndex::TSubstringIndex() { NewState(0, kNone); }

// A text of n bytes needs n + 1 states and some clones, about n / 4 on
// ordinary text, and edges beyond the first of a state for about half of them.
void TSubstringIndex::Reserve(std::size_t textLength) {
  states_.reserve(textLength + textLength / 4 + 1);
  edges_.reserve(textLength / 2);
}

std::int32_t TSubstringIndex::NewState(std::int32_t length, std::int32_t link) {
  states_.push_back({length, link, kNone, kNone, 0});
  return static_cast<std::int32_t>(states_.size() - 1);
}

void TSubstringIndex::AddEdge(std::int32_t from, unsigned char byte, std::int32_t to) {
  TState& state = State(from);
  if (state.Target == kNone) {
    state.Target = to;
    state.Byte = byte;
    return;
  }
  edges_.push_back({to, state.MoreEdges, byte});
  state.MoreEdges = static_cast<std::int32_t>(edges_.size() - 1);
}

std::int32_t TSubstringIndex::Next(std::int32_t from, unsigned char byte) const {
  const TState& state = State(from);
  if (state.Target == kNone || state.Byte == byte) return state.Target;
  for (std::int32_t edge = state.MoreEdges; edge != kNone; edge = Edge(edge).Next) {
    if (Edge(edge).Byte == byte) return Edge(edge).Target;
  }
  return kNone;
}

std::int32_t* TSubstringIndex::EdgeTarget(std::int32_t from, unsigned char byte) {
  TState& state = State(from);
  if (state.Target == kNone) return nullptr;
  if (state.Byte == byte) return &state.Target;
  for (std::int32_t edge = state.MoreEdges; edge != kNone; edge = Edge(edge).Next) {
    if (Edge(edge).Byte == byte) return &Edge(edge).Target;
  }
  return nullptr;
}

// A copy of state with the same edges and link but a shorter Length.
std::int32_t TSubstringIndex::CloneState(std::int32_t state, std::int32_t length) {
  const std::int32_t clone = NewState(length, State(state).Link);
  State(clone).Target = State(state).Target;
  State(clone).Byte = State(state).Byte;
  for (std::int32_t edge = State(state).MoreEdges; edge != kNone; edge = Edge(edge).Next) {
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
  while (suffix != kNone && Next(suffix, byte) == kNone) {
    AddEdge(suffix, byte, grown);
    suffix = State(suffix).Link;
  }
  if (suffix == kNone) {
    State(grown).Link = 0;
    return;
  }
  const std::int32_t next = Next(suffix, byte);
  const std::int32_t length = State(suffix).Length + 1;
  if (State(next).Length == length) {
    State(grown).Link = next;
    return;
  }
  const std::int32_t clone = CloneState(next, length);
  State(next).Link = clone;
  State(grown).Link = clone;
  for (; suffix != kNone; suffix = State(suffix).Link) {
    std::int32_t* target = EdgeTarget(suffix, byte);
    if (target == nullptr || *target != next) break;
    *target = clone;
  }
}

void TSubstringIndex::Append(std::string_view text) {
  for (const char c : text) Extend(static_cast<unsigned char>(c));
}

bool TSubstringIndex::Contains(std::string_view text) const {
  std::int32_t state = 0;
  for (const char c : text) {
    state = Next(state, static_cast<unsigned char>(c));
    if (state == kNone) return false;
  }
  return true;
}

}  // namespace tamsel
