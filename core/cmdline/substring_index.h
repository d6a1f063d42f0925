// A text that grows at its end and answers whether another text occurs
// anywhere in it, in time proportional to the length of the asked text
// however long the grown text is (a suffix automaton).
//
// Validation asks this of every argument against all distinct arguments seen
// before it; searching their list instead takes time quadratic in the number
// of arguments, minutes for the hundred thousand a command line can hold.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tamsel {

class TSubstringIndex {
 public:
  TSubstringIndex();

  // Room for about textLength appended bytes, so that a long text is not
  // copied again and again as it grows.
  void Reserve(std::size_t textLength);
  void Append(std::string_view text);
  // Bytes are compared exactly; the empty text occurs in every text.
  bool Contains(std::string_view text) const;

 private:
  static constexpr std::int32_t kNone = -1;

  // A state stands for the set of substrings that end at the same positions;
  // Length is the longest of them, Link the state of its longest suffix that
  // ends at more positions. A state has at most one edge per byte value; most
  // have one or none, so the first is kept in the state itself and the others
  // in a list.
  struct TState {
    std::int32_t Length;
    std::int32_t Link;
    std::int32_t Target;     // of the first edge; kNone when there is none
    std::int32_t MoreEdges;  // first of the other edges, or kNone
    unsigned char Byte;      // of the first edge
  };
  struct TEdge {
    std::int32_t Target;
    std::int32_t Next;
    unsigned char Byte;
  };

  TState& State(std::int32_t i) { return states_[static_cast<std::size_t>(i)]; }
  const TState& State(std::int32_t i) const { return states_[static_cast<std::size_t>(i)]; }
  TEdge& Edge(std::int32_t i) { return edges_[static_cast<std::size_t>(i)]; }
  const TEdge& Edge(std::int32_t i) const { return edges_[static_cast<std::size_t>(i)]; }

  std::int32_t NewState(std::int32_t length, std::int32_t link);
  void AddEdge(std::int32_t from, unsigned char byte, std::int32_t to);
  // Where the edge for byte leads (kNone without one), and the field that
  // says so, to redirect it.
  std::int32_t Next(std::int32_t from, unsigned char byte) const;
  std::int32_t* EdgeTarget(std::int32_t from, unsigned char byte);
  std::int32_t CloneState(std::int32_t state, std::int32_t length);
  void Extend(unsigned char byte);

  std::vector<TState> states_;
  std::vector<TEdge> edges_;
  std::int32_t whole_ = 0;  // the state of the whole text
};

}  // namespace tamsel
