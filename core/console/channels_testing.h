// Test aid of the console channels, kept out of their header.
#pragma once
#include <string>

namespace tamsel {

// While alive, both streams are collected into strings instead of
// reaching the process's file descriptors. The texts come back with LF line
// ends on every platform.
class TChannelCapture {
 public:
  TChannelCapture();
  ~TChannelCapture();
  TChannelCapture(const TChannelCapture&) = delete;
  TChannelCapture& operator=(const TChannelCapture&) = delete;
  std::string Out();
  std::string Err();
  void Clear();

 private:
  std::string out_;
  std::string err_;
};

}  // namespace tamsel
